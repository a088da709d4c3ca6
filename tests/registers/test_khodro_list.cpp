#include "core/stamp_text.h"
#include "khodro_harness.h"
#include "khodro_rows.h"
#include "platform/db/query.h"
#include "registers/shared/mask_inputs.h"
#include "report/pdf_tools.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTableView>

using namespace gctest::khodro;
namespace pdf = gc::report::pdf;

namespace {

const QString kSelect = QStringLiteral("Select * from khodro where ID<>-1");
const QString kCount = QStringLiteral("Select count(*) as c from khodro where ID<>-1");
const QString kOrder = QStringLiteral(" order by exit_dat desc,exit_tim desc ");
const QString kBlank = QStringLiteral("    /  /  ");

class KhodroList : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        rows = sampleRows();
        insertRows(*dm, rows);
    }
    void untickAll() {
        for (int i = 1; i <= 6; ++i)
            list->CheckBox(i)->setChecked(false);
    }
    // The search's lines and the count's lines, after a search.
    void expectLines(const QStringList& lines) {
        EXPECT_EQ(dm->ADOQ_khodro.sql().lines(),
                  QStringList{kSelect} + lines + QStringList{kOrder});
        EXPECT_EQ(dm->ADOQuery1.sql().lines(), QStringList{kCount} + lines);
    }
    int countRows(const std::function<bool(const Row&)>& keep) const {
        return int(std::count_if(rows.begin(), rows.end(), keep));
    }
    std::vector<Row> rows;
};

using gctest::readXlsx;

QString cellText(const QJsonObject& sheet, const QString& name) {
    return sheet["cells"].toObject()[name].toObject()["value"].toString();
}

} // namespace

TEST_P(KhodroList, PreparedByTheMainWindowItShowsTodaysVehiclesThatCameBackToday) {
    exec("insert into khodro (ranande, exit_dat, exit_tim, vorod_dat) values "
         "('امروز', '1403/01/01', '23:59', '1403/01/01'), "
         "('بي ورود', '1403/01/01', '23:58', '    /  /  ')");
    list->CheckBox(1)->setChecked(true);
    list->ranande()->setEditText("كسي ديگر");
    list->num()->setEditText("999");
    list->khodro_typ()->setEditText("اداري");
    list->prepare();

    EXPECT_EQ(list->ranande()->currentText(), "");
    EXPECT_EQ(list->num()->currentText(), "");
    EXPECT_EQ(list->khodro_typ()->currentText(), "");
    for (auto* d : {list->exit_dat1(), list->exit_dat2(), list->vorod_dat1(), list->vorod_dat2()}) {
        EXPECT_EQ(d->storedText(), "1403/01/01");
        EXPECT_TRUE(d->isEnabled());
        EXPECT_EQ(d->palette().color(QPalette::Base), QColor(Qt::yellow));
    }
    EXPECT_TRUE(list->CheckBox(3)->isChecked());
    EXPECT_TRUE(list->CheckBox(4)->isChecked());
    expectLines({" and ranande like '%%' escape '\\'",
                 " and exit_dat>='1403/01/01' and exit_dat<='1403/01/01'",
                 " and vorod_dat>='1403/01/01' and vorod_dat<='1403/01/01'"});
    const QString expected = scalar(
        "select count(*) from khodro where exit_dat='1403/01/01' and vorod_dat='1403/01/01'");
    EXPECT_EQ(list->countLabel()->text(), expected);
    EXPECT_EQ(dm->ADOQ_khodro.recordCount(), expected.toInt());
    // Newest exit first.
    dm->ADOQ_khodro.first();
    EXPECT_EQ(dm->ADOQ_khodro.fieldByName("ranande").asString(), "امروز");
    // The car whose entry date was emptied shows only without the entry-date range.
    EXPECT_FALSE(dm->ADOQ_khodro.locate("ranande", "بي ورود"));
    list->CheckBox(4)->setChecked(false);
    EXPECT_NE(list->vorod_dat1()->palette().color(QPalette::Base), QColor(Qt::yellow));
    list->search();
    EXPECT_TRUE(dm->ADOQ_khodro.locate("ranande", "بي ورود"));
}

TEST_P(KhodroList, EachFilterAddsItsLineToTheSearchAndTheCount) {
    untickAll();
    list->search();
    expectLines({});
    EXPECT_EQ(list->countLabel()->text(), "60");

    // A single letter matches every driver holding it anywhere; quotes are doubled.
    list->CheckBox(1)->setChecked(true);
    for (const QString& driver : {QString("ع"), QString("ع'لي")}) {
        list->ranande()->setEditText(driver);
        list->search();
        expectLines(
            {" and ranande like '%" + QString(driver).replace("'", "''") + "%' escape '\\'"});
        EXPECT_EQ(list->countLabel()->text(), QString::number(countRows([&](const Row& r) {
                      return r.ranande.contains(driver);
                  })));
    }
    untickAll();

    list->CheckBox(2)->setChecked(true);
    list->num()->setEditText("12");
    list->search();
    expectLines({" and num like '%12%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(),
              QString::number(countRows([](const Row& r) { return r.num.contains("12"); })));
    untickAll();

    list->CheckBox(3)->setChecked(true);
    list->exit_dat1()->setText("1403/01/01");
    list->exit_dat2()->setText("1403/01/02");
    list->search();
    expectLines({" and exit_dat>='1403/01/01' and exit_dat<='1403/01/02'"});
    EXPECT_EQ(list->countLabel()->text(), QString::number(countRows([](const Row& r) {
                  return r.exit_dat >= "1403/01/01" && r.exit_dat <= "1403/01/02";
              })));
    untickAll();

    list->CheckBox(4)->setChecked(true);
    list->vorod_dat1()->setText("1403/01/02");
    list->vorod_dat2()->setText("1403/02/01");
    list->search();
    expectLines({" and vorod_dat>='1403/01/02' and vorod_dat<='1403/02/01'"});
    const int inRange = countRows(
        [](const Row& r) { return r.vorod_dat >= "1403/01/02" && r.vorod_dat <= "1403/02/01"; });
    EXPECT_EQ(list->countLabel()->text(), QString::number(inRange));

    // Not yet returned, with the entry-date range: none; without it: the blank entry dates.
    list->CheckBox(5)->setChecked(true);
    list->search();
    expectLines({" and vorod_dat>='1403/01/02' and vorod_dat<='1403/02/01'",
                 " and vorod_dat='    /  /  '"});
    EXPECT_EQ(list->countLabel()->text(), "0");
    EXPECT_EQ(dm->ADOQ_khodro.recordCount(), 0);
    list->CheckBox(4)->setChecked(false);
    list->search();
    expectLines({" and vorod_dat='    /  /  '"});
    const int notBack = countRows([](const Row& r) { return r.vorod_dat == kBlank; });
    ASSERT_GT(notBack, 0);
    EXPECT_EQ(list->countLabel()->text(), QString::number(notBack));
    untickAll();

    list->CheckBox(6)->setChecked(true);
    list->khodro_typ()->setEditText("اداري");
    list->search();
    expectLines({" and khodro_typ='اداري'"});
    EXPECT_EQ(list->countLabel()->text(),
              QString::number(countRows([](const Row& r) { return r.khodro_typ == "اداري"; })));

    // An unticked box leaves its input disabled and out of the search.
    list->CheckBox(6)->setChecked(false);
    EXPECT_FALSE(list->khodro_typ()->isEnabled());
    list->search();
    expectLines({});
}

TEST_P(KhodroList, FilterListsMenuGridAndZoom) {
    addPreset("نام راننده اداري", "حسيني");
    addPreset("شماره خودرو اداري", "55د555");
    addPreset("شماره خودرو اداري", "11د111");
    list->show();
    QStringList plates;
    for (int i = 0; i < list->num()->count(); ++i)
        plates << list->num()->itemText(i);
    EXPECT_EQ(plates, (QStringList{"11د111", "55د555"}));
    EXPECT_EQ(list->ranande()->count(), 1);
    list->hide();

    QStringList menu;
    for (QAction* a : list->findChild<QMenuBar*>("MainMenu1")->actions())
        menu << a->objectName() + " " + a->text();
    EXPECT_EQ(menu, (QStringList{"N1 ثبت", "N2 ويرايش", "N3 حذف", "N6 چاپ", "N5 اكسل", "N7 +",
                                 "N8 _", "N4 خروج"}));

    list->prepare();
    auto* model = list->gridModel();
    const auto title = [&](int g, int role = Qt::DisplayRole) {
        return model->headerData(model->gridToField(g), Qt::Horizontal, role);
    };
    EXPECT_EQ(title(3).toString(), " شماره خودرو");
    EXPECT_EQ(title(12).toString(), "نگهبان ورود");
    EXPECT_EQ(title(5, Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
    EXPECT_TRUE(list->grid()->isColumnHidden(model->gridToField(0)));

    const int c11 = model->gridToField(11);
    const int c12 = model->gridToField(12);
    list->grid()->setColumnWidth(c11, 100);
    list->grid()->setColumnWidth(c12, 100);
    list->command(gc::registers::RegisterList::Command::ZoomIn)->trigger();
    EXPECT_EQ(list->grid()->columnWidth(c11), 105);
    EXPECT_EQ(list->grid()->columnWidth(c12), 100); // the last column keeps its width
}

TEST_P(KhodroList, ExportHeadsTheFieldsWithTheCaptionMapInTheListsOrder) {
    untickAll();
    list->search();
    list->command(gc::registers::RegisterList::Command::Export)->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject sheet = readXlsx(opener.opened.front());
    const QStringList heads = {
        "id",         "ranande",   "شماره خودرو", "تاريخ خروج",  "ساعت خروج",   "علت",       "مقصد",
        "تاريخ ورود", "ساعت ورود", "توضيحات",     "نگهبان خروج", "نگهبان ورود", "khodro_typ"};
    for (int i = 0; i < heads.size(); ++i)
        EXPECT_EQ(cellText(sheet, QString(QChar('A' + i)) + "1"), heads[i]) << i;
    EXPECT_EQ(sheet["maxRow"].toInt(), 61);
    gc::db::Query& q = dm->ADOQ_khodro;
    q.first();
    EXPECT_EQ(cellText(sheet, "A2"), q.fieldByName("id").asString());
    EXPECT_EQ(cellText(sheet, "D2"), "1403/02/01"); // newest exit first
    EXPECT_EQ(cellText(sheet, "M2"), q.fieldByName("khodro_typ").asString());
}

TEST_P(KhodroList, ReportIsA4LandscapeWithRowNumbersAndTodaysDate) {
    // Searched on one day, printed on the next: the report carries the day it is printed.
    clock.set(QDateTime(QDate(2024, 5, 1), QTime(23, 50)));
    list->prepare();
    untickAll();
    list->search();
    clock.set(QDateTime(QDate(2024, 5, 2), QTime(0, 10)));
    list->command(gc::registers::RegisterList::Command::Print)->trigger();
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();

    const QString path = printUi.path();
    EXPECT_TRUE(pdf::pageSize(path).startsWith("842 x 595")) << pdf::pageSize(path).toStdString();
    const int pages = pdf::pageCount(path);
    ASSERT_GT(pages, 1);
    for (int p : {1, pages}) {
        const QString page = pdf::text(path, p);
        EXPECT_TRUE(page.contains("تردد خودرو"));
        EXPECT_TRUE(page.contains("شماره صفحه"));
        EXPECT_TRUE(page.contains("1403/02/13"));
        EXPECT_FALSE(page.contains("1403/02/12"));
        EXPECT_TRUE(page.contains("رديف"));
        EXPECT_TRUE(page.contains("شماره و نوع ماشين"));
        EXPECT_TRUE(page.contains(QString::number(p)));
    }
    const QString first = pdf::text(path, 1);
    const QString last = pdf::text(path, pages);
    EXPECT_TRUE(first.contains("1403/02/01")); // newest exit first
    EXPECT_TRUE(last.contains("1403/01/01"));
    EXPECT_TRUE(last.contains("60")); // the last running number
    EXPECT_FALSE(first.contains("\n60\n"));

    // An empty list still prints its header.
    list->CheckBox(1)->setChecked(true);
    list->ranande()->setEditText("هيچ كس");
    list->search();
    list->command(gc::registers::RegisterList::Command::Print)->trigger();
    EXPECT_EQ(pdf::pageCount(path), 1);
    EXPECT_TRUE(pdf::text(path).contains("تردد خودرو"));
}

TEST_P(KhodroList, ImpossibleFilterDatesAreRefusedByTheBoxCaptionAndBlanksStillSearch) {
    untickAll();
    list->CheckBox(3)->setChecked(true);
    type(list->exit_dat1(), "14030101");
    list->countLabel()->setText("x");
    for (const auto& [keys, shown] :
         std::vector<std::pair<QString, QString>>{{"14041230", "1404/12/30"},
                                                  {"14030731", "1403/07/31"},
                                                  {"14031301", "1403/13/01"},
                                                  {"14030010", "1403/00/10"},
                                                  {"14030100", "1403/01/00"},
                                                  {"14", "14  /  /  "}}) {
        dialogs.messages.clear();
        type(list->exit_dat2(), keys);
        list->searchButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{gc::BadDateMessage("تاريخ خروج", shown)});
        EXPECT_EQ(list->countLabel()->text(), "x"); // nothing searched
        EXPECT_EQ(list->focusWidget(), list->exit_dat2());
    }
    type(list->exit_dat2(), "14031230");
    dialogs.messages.clear();
    type(list->exit_dat1(), "1403");
    list->searchButton()->click();
    EXPECT_EQ(dialogs.texts(), QStringList{gc::BadDateMessage("تاريخ خروج", "1403/  /  ")});

    // An unticked filter's dates are not looked at; the blank range searches for blank dates.
    dialogs.messages.clear();
    list->CheckBox(3)->setChecked(false);
    list->searchButton()->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    list->CheckBox(4)->setChecked(true);
    list->vorod_dat1()->setText({});
    list->vorod_dat2()->setText({});
    list->searchButton()->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(list->countLabel()->text(),
              QString::number(countRows([](const Row& r) { return r.vorod_dat == kBlank; })));
}

INSTANTIATE_TEST_SUITE_P(Engines, KhodroList,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         engineName);
