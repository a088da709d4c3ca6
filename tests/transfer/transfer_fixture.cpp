#include "transfer_fixture.h"

#include "core/schema.h"
#include "platform/db/connection_string.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace gctest {

TestDb::TestDb(Backend b, bool schema) : backend(b), connectionString(freshDatabase(b)) {
    static QAtomicInt counter;
    c = std::make_unique<gc::db::Connection>(
        QString("testdb_%1").arg(counter.fetchAndAddRelaxed(1)));
    c->setConnectionString(connectionString);
    c->open();
    if (schema) {
        EXPECT_TRUE(gc::EnsureSchema(*c).complete());
    }
}

TestDb::~TestDb() = default;

QString TestDb::file() const {
    return gc::db::connectionTarget(connectionString).file;
}

void TestDb::exec(const QString& sql) {
    QSqlQuery q(c->database());
    EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " in " << sql.toStdString();
}

QVariant TestDb::scalar(const QString& sql) {
    QSqlQuery q(c->database());
    if (!q.exec(sql) || !q.next()) {
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
        return {};
    }
    return q.value(0);
}

QList<QStringList> TestDb::rows(const QString& sql) {
    QList<QStringList> out;
    QSqlQuery q(c->database());
    EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " in " << sql.toStdString();
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < q.record().count(); ++i) {
            const QVariant v = q.value(i);
            if (v.isNull())
                row << "NULL";
            else if (v.typeId() == QMetaType::QByteArray)
                row << "bytes:" + QCryptographicHash::hash(v.toByteArray(), QCryptographicHash::Md5)
                                      .toHex();
            else
                row << v.toString();
        }
        out << row;
    }
    std::sort(out.begin(), out.end());
    return out;
}

void TestDb::insert(const QString& table, const QList<std::pair<QString, QVariant>>& values) {
    QStringList names;
    for (const auto& [name, v] : values)
        names << name;
    QSqlQuery q(c->database());
    q.prepare("insert into " + table + " (" + names.join(", ") + ") values (" +
              QStringList(names.size(), "?").join(", ") + ")");
    for (const auto& [name, v] : values)
        q.addBindValue(v);
    ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString() << " into " << table.toStdString();
    const QString key = table == "barcod" ? "barcod" : "id";
    if (pg() && names.contains(key))
        exec("select setval(pg_get_serial_sequence('" + table + "', '" + key + "'), (select max(" +
             key + ") from " + table + "))");
}

QString TestDb::dateTimeText(const QString& column) const {
    return pg() ? "to_char(" + column + ", 'YYYY-MM-DD HH24:MI:SS')" : column;
}

QMap<QString, int> TestDb::counts() {
    QMap<QString, int> out;
    for (const gc::TableSpec& t : gc::SchemaTables())
        out.insert(t.name, count(t.name));
    return out;
}

QByteArray TestDb::fileHash() {
    exec("PRAGMA wal_checkpoint(TRUNCATE)");
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& f : {file(), file() + "-wal"}) {
        QFile in(f);
        if (in.open(QIODevice::ReadOnly))
            hash.addData(in.readAll());
    }
    return hash.result().toHex();
}

QStringList TestDb::client(const QString& sql) const {
    return gctest::client(connectionString, sql);
}

QStringList client(const QString& connectionString, const QString& sql) {
    QProcess p;
    const auto t = gc::db::connectionTarget(connectionString);
    if (t.engine == gc::db::Engine::PostgreSQL) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGDATESTYLE", "ISO");
        p.setProcessEnvironment(env);
        p.start(
            "psql",
            {"-X", "-A", "-t", "-F", "|", "-P", "null=NULL", "-c", sql,
             QString("host=%1 port=%2 dbname=%3 user=gc").arg(t.host).arg(t.port).arg(t.database)});
    } else {
        p.start("sqlite3",
                {"-batch", "-noheader", "-separator", "|", "-nullvalue", "NULL", t.file, sql});
    }
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TestDb::setServerZone(const QString& zone) {
    exec("alter database " + gc::db::connectionTarget(connectionString).database +
         " set timezone to '" + zone + "'");
    exec("set timezone to '" + zone + "'");
}

namespace {

QByteArray picture(const char* tag, int size = 3000) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char((i * 7 + tag[0]) & 0xFF));
    return QByteArray(tag) + bytes;
}

void dated(TestDb& db, const QString& table, const QString& dateColumn, const QString& textColumn,
           const QStringList& dates) {
    for (const QString& d : dates)
        db.insert(table, {{dateColumn, d}, {textColumn, QString("row of ") + d}});
}

} // namespace

void seedSource(TestDb& db) {
    db.insert("amval", {{"exit_dat", "1402/12/29"}, {"nam", "before"}, {"cmt", "x"}});
    db.insert("amval", {{"exit_dat", kStart}, {"nam", "first day"}, {"cmt", QVariant()}});
    db.insert("amval", {{"exit_dat", "1403/05/10"}, {"nam", "later"}, {"cmt", ""}});
    db.insert("amval", {{"exit_dat", kBlank}, {"nam", "blank"}, {"cmt", "y"}});
    dated(db, "anbar", "dat", "kala", {"1403/02/01", "1402/01/01"});
    dated(db, "khodro", "exit_dat", "ranande", {"1403/03/03", kBlank});
    dated(db, "prs", "exit_dat", "nam", {"1403/01/02"});
    dated(db, "parking", "dat", "num", {"1403/06/06", "1400/01/01"});
    dated(db, "loh", "dat", "negahban", {kStart, "1402/12/01"});
    db.insert("log",
              {{"tarikh", "1403/01/05"}, {"karbar", "admin"}, {"saat_sys", "2024-03-24 10:15:30"}});
    db.insert("log", {{"tarikh", "1402/10/10"}, {"karbar", "admin"}});
    db.insert("phone", {{"name", QString::fromUtf8("نگهباني")}, {"tel", "110"}});
    db.insert("phone", {{"name", "it's"}, {"tel", "120"}});
    db.insert("kala", {{"cod", "K1"}, {"cmt", QString::fromUtf8("پيچ")}, {"vahed", "عدد"}});
    db.insert(
        "otaghha",
        {{"title", QString::fromUtf8("اداره مالي")}, {"ext", ".png"}, {"koroki", picture("K")}});
    db.insert("asami", {{"id", 10}, {"surname", "Ahmadi"}, {"name", "Ali"}, {"card_no", "1"}});
    db.insert("asami", {{"id", 20}, {"surname", "Bahrami"}, {"name", "Bita"}, {"card_no", "2"}});
    db.insert("asami", {{"id", 30}, {"surname", "Karimi"}, {"name", "Cyrus"}, {"card_no", "3"}});
    db.insert("per_pic", {{"per_id", 10}, {"ext", ".jpg"}, {"pic", picture("A1")}});
    db.insert("per_pic", {{"per_id", 10}, {"ext", ".png"}, {"pic", picture("A2")}});
    db.insert("per_pic", {{"per_id", 30}, {"ext", ".jpg"}, {"pic", picture("C1")}});
    db.insert("per_pic", {{"per_id", 99}, {"ext", ".jpg"}, {"pic", picture("orphan")}});
    db.insert("arbabrojo", {{"id", 100}, {"name", "visit two pictures"}, {"dat", "1403/04/04"}});
    db.insert("arbabrojo", {{"id", 101}, {"name", "visit no picture"}, {"dat", "1403/04/05"}});
    db.insert("arbabrojo", {{"id", 102}, {"name", "visit before"}, {"dat", "1402/11/11"}});
    db.insert("arbabrojo", {{"id", 103}, {"name", "visit blank"}, {"dat", kBlank}});
    db.insert("arbabrojo_pic",
              {{"arbabrojo_id", 100}, {"cmt", "front"}, {"ext", ".jpg"}, {"pic", picture("V1")}});
    db.insert("arbabrojo_pic",
              {{"arbabrojo_id", 100}, {"cmt", "back"}, {"ext", ".jpg"}, {"pic", picture("V2")}});
    db.insert("arbabrojo_pic",
              {{"arbabrojo_id", 102}, {"cmt", "old"}, {"ext", ".jpg"}, {"pic", picture("V3")}});
    db.insert("zamaem", {{"pic", picture("Z")}});
    db.insert("molaghat_file", {{"pic", picture("M")}});
    db.insert("barcod", {{"name", "card a"}});
    db.insert("barcod", {{"name", "card b"}});
    db.insert("users", {{"id", 5}, {"us", "ali"}, {"ps", "p5"}, {"ver", "1"}});
    db.insert("users", {{"id", 7}, {"us", "reza"}, {"ps", "p7"}, {"ver", "1"}});
    const auto right = [&](int user, const char* page, bool a, bool b, bool c, bool d) {
        db.insert("dastrasi", {{"prs_id", user},
                               {"page_name", page},
                               {"darj", a},
                               {"virayesh", b},
                               {"hazf", c},
                               {"namayesh", d}});
    };
    right(5, "khodro", true, false, true, true);
    right(7, "amval", false, false, false, true);
    right(9, "prs", true, true, true, true);
    db.insert("taradod", {{"roz", "shanbe"}, {"dat", "1403/01/01"}, {"v1", "08:00"}});
    db.insert("taradod", {{"roz", "yek"}, {"dat", "1403/01/02"}, {"v1", "08:10"}});
    db.insert("setting", {{"component", "elat"}, {"cmt", "mission"}, {"def", "1"}});
    db.insert("setting", {{"component", "elat"}, {"cmt", "leave"}, {"def", ""}});
}

gc::transfer::TransferOptions everything(const TestDb& source, const TestDb& destination) {
    gc::transfer::TransferOptions o;
    o.source = source.connectionString;
    o.destination = destination.connectionString;
    o.startDate = kStart;
    o.amval = o.anbar = o.khodro = o.prs = o.parking = o.phone = o.kala = o.otagh = true;
    o.asami = o.asamiPic = o.arbabrojo = o.arbabrojoPic = o.other = true;
    return o;
}

gc::transfer::TransferResult transfer(const gc::transfer::TransferOptions& options) {
    RecordingObserver observer;
    std::atomic_bool cancel = false;
    return gc::transfer::runTransfer(options, observer, cancel, "test_transfer");
}

std::string pairName(const ::testing::TestParamInfo<Pair>& info) {
    return (backendName(info.param.from) + "_to_" + backendName(info.param.to)).toStdString();
}

const std::vector<Pair>& allPairs() {
    static const std::vector<Pair> pairs{{Backend::SQLite, Backend::SQLite},
                                         {Backend::SQLite, Backend::PostgreSQL},
                                         {Backend::PostgreSQL, Backend::SQLite},
                                         {Backend::PostgreSQL, Backend::PostgreSQL}};
    return pairs;
}

} // namespace gctest
