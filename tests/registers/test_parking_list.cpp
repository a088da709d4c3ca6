#include "parking_harness.h"
#include "platform/db/collation.h"
#include "platform/db/query.h"
#include "registers/shared/mask_inputs.h"
#include "report/pdf_tools.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTableView>

using namespace gctest;
using namespace gctest::parking;
using gc::registers::RegisterList;
namespace pdf = gc::report::pdf;

namespace {

const QString kSelect = QStringLiteral("select * from parking where id<>-1");
const QString kCount = QStringLiteral("select count(*) as c from parking  where id<>-1");
const QString kOrder = QStringLiteral(" order by dat desc, loc");

class ParkingList : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        addRow("12ب345", "1403/01/01", "حياط", "يك");
        addRow("12ب345", "1403/01/02", "انبار مركزي", "دو");
        addRow("77د123", "1403/01/02", "حياط", "سه");
        addRow("77د123", "1403/01/02", "پشت انبار", "چهار");
        addRow("0012", "1403/01/15", "زيرزمين", "پنج");
        addRow("ع'لي", "1402/12/29", "حياط", "شش");
    }
    void expectLines(const QStringList& lines) {
        EXPECT_EQ(dm->ADOQ_parking.sql().lines(),
                  QStringList{kSelect} + lines + QStringList{kOrder});
        EXPECT_EQ(dm->ADOQuery1.sql().lines(), QStringList{kCount} + lines);
    }
    QStringList column(const QString& field) {
        QStringList out;
        gc::db::Query& q = dm->ADOQ_parking;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(field).asString();
        return out;
    }
    QStringList absentees() const {
        QStringList out;
        for (int i = 0; i < list->ghaebin()->count(); ++i)
            out << list->ghaebin()->item(i)->text();
        return out;
    }
    void absentRange(const QString& from, const QString& to) {
        list->dat()->setText(from);
        list->dat2()->setText(to);
        list->menuItem("N9")->trigger();
    }
};

QString cellText(const QJsonObject& sheet, const QString& name) {
    return sheet["cells"].toObject()[name].toObject()["value"].toString();
}

} // namespace

TEST_P(ParkingList, UntickedItListsEveryRowNewestDateFirstThenByPlace) {
    untickAll();
    list->search();
    expectLines({});
    EXPECT_EQ(list->countLabel()->text(), "6");
    EXPECT_EQ(column("dat"), (QStringList{"1403/01/15", "1403/01/02", "1403/01/02", "1403/01/02",
                                          "1403/01/01", "1402/12/29"}));
    const QStringList places = column("loc").mid(1, 3);
    QStringList sorted = places;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return gc::db::comparePersian(a.toUtf8(), b.toUtf8()) < 0;
    });
    EXPECT_EQ(places, sorted); // in Persian alphabetical order (پ before ح)
    EXPECT_EQ(places.size(), 3);
}

TEST_P(ParkingList, EachFilterAddsItsLineInTheRegistersOrder) {
    untickAll();
    list->CheckBox(1)->setChecked(true);
    list->CheckBox(2)->setChecked(true);
    list->CheckBox(3)->setChecked(true);
    list->dat()->setText("1403/01/02");
    list->dat2()->setText("1403/01/15");
    list->num()->setEditText("12");
    list->loc()->setEditText("انبار");
    list->search();
    expectLines({" and dat>='1403/01/02' and dat<='1403/01/15'", " and num like '%12%' escape '\\'",
                 " and loc like '%انبار%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(), "2"); // "12" inside "123" too

    // A quote in a typed plate is doubled, not SQL.
    untickAll();
    list->CheckBox(2)->setChecked(true);
    list->num()->setEditText("ع'لي");
    list->search();
    expectLines({" and num like '%ع''لي%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(), "1");

    // An unticked box disables its input: its text narrows nothing.
    list->CheckBox(2)->setChecked(false);
    EXPECT_FALSE(list->num()->isEnabled());
    EXPECT_FALSE(list->dat()->isEnabled());
    list->search();
    expectLines({});
    EXPECT_EQ(list->countLabel()->text(), "6");
}

TEST_P(ParkingList, PreparedByTheMainWindowItSearchesThenClearsAndDatesTheFilters) {
    clock.set(QDateTime(QDate(2024, 4, 3), QTime(8, 0))); // 1403/01/15
    untickAll();
    list->CheckBox(2)->setChecked(true);
    list->num()->setEditText("77");
    list->loc()->setEditText("حياط");
    absentRange("1403/01/01", "1403/01/01");
    addPreset(kPlateList, "0012");
    absentRange("1403/01/01", "1403/01/01");
    ASSERT_EQ(list->cnt2()->text(), "1");

    list->prepare();
    // The rows shown follow the filters the page held.
    expectLines({" and num like '%77%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(), "2");
    EXPECT_EQ(list->num()->currentText(), "");
    EXPECT_EQ(list->loc()->currentText(), "");
    EXPECT_EQ(list->cnt2()->text(), "");
    EXPECT_EQ(list->ghaebin()->count(), 0);
    EXPECT_EQ(list->dat()->storedText(), "1403/01/15");
    EXPECT_EQ(list->dat2()->storedText(), "1403/01/15");
}

TEST_P(ParkingList, StorePlacesAreDrawnWhiteOnBlack) {
    untickAll();
    list->search();
    auto* model = list->gridModel();
    const int loc = dm->ADOQ_parking.fieldIndex("loc");
    int marked = 0;
    for (int row = 0; row < model->rowCount(); ++row) {
        const bool store = model->index(row, loc).data().toString().contains("انبار");
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex i = model->index(row, c);
            EXPECT_EQ(i.data(Qt::BackgroundRole).value<QColor>(),
                      store ? QColor(Qt::black) : QColor());
            EXPECT_EQ(i.data(Qt::ForegroundRole).value<QColor>(),
                      store ? QColor(Qt::white) : QColor());
        }
        marked += store;
    }
    EXPECT_EQ(marked, 2); // at the start and at the end of the place's text
}

TEST_P(ParkingList, AbsenteesAreTheOfficialPlatesWithNoRowInTheRange) {
    addPreset(kPlateList, "77د123");
    addPreset(kPlateList, "12ب345");
    addPreset(kPlateList, "55د555");
    addPreset(kPlateList, "0012");
    addRow("55 د 555", "1403/01/02", "حياط"); // another spacing: not this vehicle
    addPreset("شماره خودرو", "99د999");       // another list

    // The date box need not be ticked.
    untickAll();
    absentRange("1403/01/01", "1403/01/02");
    EXPECT_EQ(list->cnt2()->text(), "2");
    EXPECT_EQ(absentees(), (QStringList{"0012", "55د555"}));
    const QStringList& sql = dm->ADOQuery1.sql().lines();
    ASSERT_EQ(sql.size(), 4);
    EXPECT_EQ(sql[0], "select setting.cmt from setting  ");
    EXPECT_EQ(sql[1], " where setting.component='شماره خودرو اداري'");
    EXPECT_TRUE(sql[2].startsWith(" and cmt not in (select num from parking where "
                                  "dat>='1403/01/01' and dat<='1403/01/02'"));
    EXPECT_EQ(sql[3], " order by cmt  ");

    // A row without a plate in the range does not make every vehicle present.
    exec("insert into parking (num, dat, loc) values (NULL, '1403/01/02', 'حياط')");
    absentRange("1403/01/01", "1403/01/02");
    EXPECT_EQ(list->cnt2()->text(), "2");
    EXPECT_EQ(absentees(), (QStringList{"0012", "55د555"}));

    // Blank dates match no row: every official vehicle is absent, listed again not twice.
    list->dat()->clearToBlank();
    list->dat2()->clearToBlank();
    list->menuItem("N9")->trigger();
    EXPECT_EQ(list->cnt2()->text(), "4");
    EXPECT_EQ(absentees(), (QStringList{"0012", "12ب345", "55د555", "77د123"}));

    // A title-click sort left on the scratch query does not reorder the list.
    dm->ADOQuery1.setSort("cmt DESC");
    absentRange("1403/02/01", "1403/02/01");
    EXPECT_EQ(absentees(), (QStringList{"0012", "12ب345", "55د555", "77د123"}));
}

TEST_P(ParkingList, MenuGridZoomDeleteAndExport) {
    addPreset(kPlateList, "55د555");
    addPreset(kPlateList, "11د111");
    addPreset(kPlaceList, "حياط");
    addPreset("رمز حذف", "123");
    list->show();
    EXPECT_EQ(list->windowTitle(), "پاركينگ");
    EXPECT_EQ(list->num()->itemText(0), "11د111");
    EXPECT_EQ(list->loc()->count(), 1);
    list->hide();

    QStringList menu;
    for (QAction* a : list->findChild<QMenuBar*>("MainMenu1")->actions())
        menu << a->objectName() + " " + a->text();
    EXPECT_EQ(menu, (QStringList{"N1 ثبت", "N2 ويرايش", "N3 حذف", "N6 چاپ", "N5 اكسل", "N9 غائبين",
                                 "N7 +", "N8 _", "N4 خروج"}));

    untickAll();
    list->search();
    auto* model = list->gridModel();
    const auto title = [&](int g, int role = Qt::DisplayRole) {
        return model->headerData(model->gridToField(g), Qt::Horizontal, role);
    };
    EXPECT_TRUE(list->grid()->isColumnHidden(model->gridToField(0)));
    EXPECT_EQ(title(1).toString(), "شماره");
    EXPECT_EQ(title(2).toString(), "تاريخ");
    EXPECT_TRUE(title(2, Qt::BackgroundRole).value<QColor>().isValid());
    EXPECT_EQ(title(5).toString(), "نگهبان");
    const int last = model->gridToField(5);
    list->grid()->setColumnWidth(last, 100);
    list->command(RegisterList::Command::ZoomIn)->trigger();
    EXPECT_EQ(list->grid()->columnWidth(last), 105); // every column, the last one too

    // A wrong password deletes nothing and says nothing; the right one deletes the row.
    ASSERT_TRUE(dm->ADOQ_parking.locate("cmt", "شش"));
    dialogs.inputs = {"12", "123"};
    list->command(RegisterList::Command::Delete)->trigger();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(scalar("select count(*) from parking"), "6");
    list->command(RegisterList::Command::Delete)->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(scalar("select count(*) from parking where cmt='شش'"), "0");
    // The list drops the same row.
    EXPECT_EQ(column("cmt"), (QStringList{"پنج", "دو", "چهار", "سه", "يك"}));

    list->command(RegisterList::Command::Export)->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject sheet = readXlsx(opener.opened.front());
    const QStringList heads = {"شناسه",    "شماره خودرو", "تاريخ",
                               "محل پارك", "توضيحات",     "نام نگهبان"};
    for (int i = 0; i < heads.size(); ++i)
        EXPECT_EQ(cellText(sheet, QString(QChar('A' + i)) + "1"), heads[i]) << i;
    EXPECT_EQ(sheet["maxRow"].toInt(), 6);
    EXPECT_EQ(cellText(sheet, "C2"), "1403/01/15");
}

TEST_P(ParkingList, ReportIsA4PortraitWithRowNumbersAndTheDayItIsPrinted) {
    for (int i = 0; i < 60; ++i)
        addRow(QStringLiteral("%1د%2").arg(i, 2, 10, QChar('0')).arg(100 + i), "1403/02/01",
               "محوطه");
    untickAll();
    list->search();
    clock.set(QDateTime(QDate(2024, 5, 2), QTime(0, 10))); // 1403/02/13
    list->command(RegisterList::Command::Print)->trigger();
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();

    const QString path = printUi.path();
    EXPECT_TRUE(pdf::pageSize(path).startsWith("595 x 842")) << pdf::pageSize(path).toStdString();
    const int pages = pdf::pageCount(path);
    ASSERT_GT(pages, 1);
    for (int p : {1, pages}) {
        const QString page = pdf::text(path, p);
        for (const char* text : {"ليست خودروهاي پاركينگ", "کاروندیس", "شماره صفحه", "1403/02/13",
                                 "رديف", "شماره و نوع ماشين", "محل پارك", "شرح", "نگهبان"})
            EXPECT_TRUE(page.contains(pdf::printedLetters(QString::fromUtf8(text))))
                << text << " page " << p;
    }
    EXPECT_TRUE(pdf::text(path, 1).contains("1403/02/01")); // newest first
    const QString last = pdf::text(path, pages);
    EXPECT_TRUE(last.contains("1402/12/29"));
    EXPECT_TRUE(last.contains("66")); // the last running number

    // An empty list still prints its header.
    list->CheckBox(2)->setChecked(true);
    list->num()->setEditText("هيچ");
    list->search();
    list->command(RegisterList::Command::Print)->trigger();
    EXPECT_EQ(pdf::pageCount(path), 1);
    EXPECT_TRUE(pdf::text(path).contains("ليست خودروهاي پاركينگ"));
}

TEST_P(ParkingList, NothingInTheReportHeaderIsPrintedOverAnythingElse) {
    list->command(RegisterList::Command::Print)->trigger();
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();
    // The glyph boxes pdftotext finds in the page header (the top 95 points).
    const QString found =
        pdf::run("pdftotext", {"-bbox", "-f", "1", "-l", "1", printUi.path(), "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">)re");
    QList<QRectF> glyphs;
    for (auto m = word.globalMatch(found); m.hasNext();) {
        const auto w = m.next();
        const QRectF box(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                         QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()));
        if (box.bottom() < 95)
            glyphs << box.adjusted(0.5, 0.5, -0.5, -0.5); // neighbours touch
    }
    ASSERT_GT(glyphs.size(), 30) << found.toStdString();
    for (int i = 0; i < glyphs.size(); ++i)
        for (int j = i + 1; j < glyphs.size(); ++j)
            EXPECT_FALSE(glyphs[i].intersects(glyphs[j]))
                << glyphs[i].x() << "," << glyphs[i].y() << " and " << glyphs[j].x() << ","
                << glyphs[j].y();
}

INSTANTIATE_TEST_SUITE_P(Engines, ParkingList,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         engineName);
