#include "khodro_rows.h"

#include "core/schema.h"

#include <QProcess>
#include <QRegularExpression>

namespace gctest::khodro {

std::vector<Row> sampleRows() {
    const QString blankDate = QStringLiteral("    /  /  ");
    const QString blankTime = QStringLiteral("  :  ");
    const QStringList drivers = {"علي رضايي", "رضا احمدي", "ع'لي", "50% مرادي", "حسن_زاده", "محمد"};
    const QStringList plates = {"12ب345", "0012", "77د123", "12-ع'"};
    const QStringList dates = {"1403/01/01", "1403/01/02", "1403/01/15", "1403/02/01", blankDate};
    std::vector<Row> rows;
    for (int i = 0; i < 60; ++i) {
        Row r;
        r.ranande = drivers[i % drivers.size()];
        r.num = plates[(i / 2) % plates.size()];
        r.exit_dat = dates[i % 4];
        r.exit_tim =
            QStringLiteral("%1:%2").arg(i % 24, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
        r.vorod_dat = dates[(i / 3) % dates.size()];
        r.vorod_tim = r.vorod_dat == blankDate ? blankTime : QStringLiteral("18:00");
        r.khodro_typ = i % 3 == 0 ? QStringLiteral("اداري") : QStringLiteral("شخصي");
        r.cmt = QStringLiteral("ردیف %1").arg(i);
        rows.push_back(r);
    }
    return rows;
}

std::unique_ptr<gc::Tdm> freshModule(Backend backend) {
    if (backend == Backend::PostgreSQL && !postgresAvailable())
        return nullptr;
    auto dm = std::make_unique<gc::Tdm>();
    dm->ADOConnection1.setConnectionString(freshDatabase(backend));
    dm->ADOConnection1.open();
    gc::EnsureSchema(*dm);
    return dm;
}

void insertRows(gc::Tdm& dm, const std::vector<Row>& rows) {
    gc::db::Query& q = dm.ADOQ_khodro;
    q.setSql(QStringLiteral("select * from khodro"));
    q.open();
    for (const Row& r : rows) {
        q.append();
        q.fieldByName("ranande").setAsString(r.ranande);
        q.fieldByName("num").setAsString(r.num);
        q.fieldByName("exit_dat").setAsString(r.exit_dat);
        q.fieldByName("exit_tim").setAsString(r.exit_tim);
        q.fieldByName("vorod_dat").setAsString(r.vorod_dat);
        q.fieldByName("vorod_tim").setAsString(r.vorod_tim);
        q.fieldByName("khodro_typ").setAsString(r.khodro_typ);
        q.fieldByName("cmt").setAsString(r.cmt);
        q.post();
    }
    q.close();
}

QString sqliteFile(const QString& connectionString) {
    static const QRegularExpression re(QStringLiteral("Data Source=([^;]+)"));
    return re.match(connectionString).captured(1);
}

QString sqlite3(const QString& file, const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace gctest::khodro
