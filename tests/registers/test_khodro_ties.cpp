#include "khodro_harness.h"
#include "platform/db/connection.h"
#include "platform/db/query.h"
#include "report/pdf_tools.h"
#include "support/xlsx_reader.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QJsonObject>
#include <QSet>
#include <QTableView>
#include <QTest>

using namespace gctest::khodro;
namespace pdf = gc::report::pdf;

namespace {

// 600 vehicles on three days at two times: the list's order is tied in long runs.
class KhodroTies : public Harness {
  protected:
    static constexpr int kVehicles = 600;

    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        dm->ADOConnection1.execute(insertSql(kVehicles, 0, "n"));
        for (int i = 1; i <= 6; ++i)
            list->CheckBox(i)->setChecked(false);
    }
    static QString insertSql(int rows, int from, const QString& prefix) {
        return QString("with recursive s(i) as (select %1 union all select i + 1 from s where "
                       "i + 1 < %2) insert into khodro (ranande, num, exit_dat, exit_tim) select "
                       "'r', '%3' || (1000 + i) || 'x', '1403/02/0' || (i % 3 + 1), "
                       "'0' || (i % 2 + 8) || ':00' from s")
            .arg(from)
            .arg(from + rows)
            .arg(prefix);
    }
    // Grid model columns are the query's fields.
    int column(const QString& field) const { return dm->ADOQ_khodro.fieldIndex(field); }
    // The grid's rows, all of them fetched, as (exit date + time, plate).
    std::vector<std::pair<QString, QString>> gridRows() {
        QAbstractItemModel* m = list->grid()->model();
        while (m->canFetchMore({}))
            m->fetchMore({});
        std::vector<std::pair<QString, QString>> out;
        for (int r = 0; r < m->rowCount(); ++r)
            out.emplace_back(m->index(r, column("exit_dat")).data().toString() + " " +
                                 m->index(r, column("exit_tim")).data().toString(),
                             m->index(r, column("num")).data().toString());
        return out;
    }
    void clickTitle(const QString& field) {
        QHeaderView* h = list->grid()->horizontalHeader();
        const int s = column(field);
        const QPoint centre(h->sectionViewportPosition(s) + h->sectionSize(s) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, centre);
    }
};

// Every plate once, the exit times never rising.
void expectEveryPlateOnceNewestFirst(const std::vector<std::pair<QString, QString>>& rows,
                                     int expected) {
    QSet<QString> plates;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_FALSE(plates.contains(rows[i].second)) << "twice: " << rows[i].second.toStdString();
        plates.insert(rows[i].second);
        if (i > 0) {
            EXPECT_GE(rows[i - 1].first, rows[i].first) << i;
        }
    }
    EXPECT_EQ(int(plates.size()), expected);
}

} // namespace

TEST_P(KhodroTies, GridExportReportAndTitleSortShowEveryVehicleOnce) {
    list->show();
    list->search();
    const auto rows = gridRows();
    expectEveryPlateOnceNewestFirst(rows, kVehicles);

    list->command(gc::registers::RegisterList::Command::Export)->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject cells = gctest::readXlsx(opener.opened.front())["cells"].toObject();
    for (int r = 0; r < kVehicles; ++r)
        ASSERT_EQ(cells[QString("C%1").arg(r + 2)].toObject()["value"].toString(),
                  rows[std::size_t(r)].second)
            << r;

    list->command(gc::registers::RegisterList::Command::Print)->trigger();
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();
    const QString text = pdf::text(printUi.path());
    for (int i = 0; i < kVehicles; ++i)
        EXPECT_EQ(text.count(QString("n%1x").arg(1000 + i)), 1) << i;

    clickTitle("exit_tim");
    ASSERT_EQ(dm->ADOQ_khodro.sort(), "exit_tim ASC");
    const auto sorted = gridRows();
    QSet<QString> plates;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        plates.insert(sorted[i].second);
        if (i > 0) {
            EXPECT_LE(sorted[i - 1].first.right(5), sorted[i].first.right(5)) << i;
        }
    }
    EXPECT_EQ(int(sorted.size()), kVehicles);
    EXPECT_EQ(int(plates.size()), kVehicles);
}

TEST_P(KhodroTies, VehiclesRecordedElsewhereWhileTheListIsOpenShiftNoOther) {
    list->search();
    ASSERT_LT(list->grid()->model()->rowCount(), kVehicles); // only the first rows are read
    {
        gc::db::Connection other("other gate");
        other.setConnectionString(dm->ADOConnection1.connectionString());
        other.open();
        other.execute(insertSql(40, kVehicles, "e"));
    }
    const auto rows = gridRows();
    expectEveryPlateOnceNewestFirst(rows, int(rows.size()));
    QSet<QString> plates;
    for (const auto& [when, plate] : rows)
        plates.insert(plate);
    for (int i = 0; i < kVehicles; ++i)
        EXPECT_TRUE(plates.contains(QString("n%1x").arg(1000 + i))) << i;
}

INSTANTIATE_TEST_SUITE_P(Engines, KhodroTies,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
