#include "core/persian_date.h"
#include "core/stamp_text.h"
#include "fakes/fake_clock.h"
#include "khodro_rows.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/report/elements.h"
#include "platform/text/bidi.h"
#include "platform/xlsx/file_opener.h"
#include "registers/shared/core/current_time.h"
#include "registers/shared/list_print.h"
#include "registers/shared/mask_inputs.h"
#include "registers/shared/register_entry.h"
#include "registers/shared/register_list.h"
#include "report/pdf_tools.h"
#include "support/scripted_dialogs.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace gc::registers;
using gc::db::quoted;
using gctest::Backend;
namespace kh = gctest::khodro;

namespace {

class FakeOpener : public gc::xlsx::FileOpener {
  public:
    bool open(const QString& path) override {
        opened << path;
        return false;
    }
    QStringList opened;
};

// The preview writes a PDF instead of showing a window.
class PdfPreviewUi : public gc::report::PrintUi {
  public:
    explicit PdfPreviewUi(QString path) : path_(std::move(path)) {}
    NoPrinterChoice askNoPrinter(const QString&) override { return NoPrinterChoice::Cancel; }
    QString choosePdfPath(const QString&) override { return {}; }
    void preview(gc::report::Report& report) override {
        result = gc::report::writePdf(report, path_);
    }
    gc::report::RenderResult result;

  private:
    QString path_;
};

class CountingClock : public gc::platform::Clock {
  public:
    QDateTime now() const override {
        ++reads;
        return at;
    }
    QDateTime at;
    mutable int reads = 0;
};

// A small register over the vehicle table, declared the way a register's windows are.
class TestList : public RegisterList {
  public:
    TestList(gc::Tdm& dm, RegisterContext& ctx) : RegisterList(declare(dm), ctx) {
        driver = new QComboBox(filterArea());
        driver->setObjectName("ranande");
        driver->setEditable(true);
        driverBox = new QCheckBox("راننده", filterArea());
        from = new MaskEdit(MaskEdit::Kind::Date, "exit_dat1", filterArea());
        to = new MaskEdit(MaskEdit::Kind::Date, "exit_dat2", filterArea());
        dateBox = new QCheckBox("تاريخ خروج", filterArea());
        notBack = new QCheckBox("هنوز برنگشته ها", filterArea());
        bindFilter(0, {driverBox, {driver}, false, true, nullptr});
        bindFilter(1, {dateBox, {from, to}, true, false, nullptr});
        bindFilter(2, {notBack, {}, false, false, nullptr});
        addPresetFill(driver, "%نام راننده%", true);
    }
    static Declaration declare(gc::Tdm& dm) {
        Declaration d;
        d.name = "test_list";
        d.caption = "ليست آزمايشي";
        d.query = &dm.ADOQ_khodro;
        d.search = searchOn("khodro", "ID<>-1", " order by exit_dat desc,exit_tim desc ");
        d.search.filters = {likeFilter(" and ranande like "),
                            rangeFilter(" and exit_dat>=", " and exit_dat<="),
                            fixedFilter(" and vorod_dat=" + quoted(kBlankDate))};
        d.columns = {{"id", "", {}, true},
                     {"ranande", "نام راننده"},
                     {"khodro_typ", "نوع خودرو"},
                     {"num", " شماره خودرو"},
                     {"exit_dat", "تاريخ خروج", QColor(Qt::cyan)},
                     {"exit_tim", "ساعت خروج", QColor(Qt::yellow)}};
        d.captions = {{"exit_dat", "تاريخ خروج"}, {"num", "شماره خودرو"}, {"cmt", "توضيحات"}};
        d.zoomColumns = {0, 1, 2, 3, 4};
        d.menu = {{"N1", "ثبت", Command::New},     {"N2", "ويرايش", Command::Edit},
                  {"N3", "حذف", Command::Delete},  {"N6", "چاپ", Command::Print},
                  {"N5", "اكسل", Command::Export}, {"N7", "+", Command::ZoomIn},
                  {"N8", "_", Command::ZoomOut},   {"N4", "خروج", Command::Close}};
        return d;
    }
    QComboBox* driver;
    QCheckBox* driverBox;
    MaskEdit* from;
    MaskEdit* to;
    QCheckBox* dateBox;
    QCheckBox* notBack;

  protected:
    std::unique_ptr<gc::report::Report> makeReport() override {
        using namespace gc::report;
        auto r = std::make_unique<Report>();
        r->title = "test";
        r->page = PageSetup::a5(QPageLayout::Landscape);
        r->pageHeader.heightMm = 12;
        r->pageHeader.add<Label>("سربرگ").geometryMm = {100, 0, 60, 6};
        r->pageHeader.add<Expression>(Expression::Kind::Variable, "dat").geometryMm = {0, 0, 40, 6};
        r->pageHeader.add<Expression>(Expression::Kind::PageNumber).geometryMm = {0, 6, 40, 6};
        r->columnHeader.heightMm = 6;
        r->columnHeader.add<Label>("رديف").geometryMm = {170, 0, 15, 6};
        r->detail.heightMm = 8;
        r->detail.add<Expression>(Expression::Kind::RowNumber).geometryMm = {170, 0, 15, 8};
        r->detail.add<DataField>("exit_dat").geometryMm = {100, 0, 40, 8};
        r->detail.add<DataField>("cmt").geometryMm = {40, 0, 50, 8};
        return r;
    }
};

class TestEntry : public RegisterEntry {
  public:
    TestEntry(gc::Tdm& dm, RegisterContext& ctx) : RegisterEntry(declare(dm), ctx) {
        typ = addInput(new QComboBox(this));
        typ->setObjectName("khodro_typ");
        typ->setEditable(true);
        for (const char* name : {"ranande", "num", "cmt", "negahban1", "negahban2"}) {
            auto* e = addInput(new QLineEdit(this));
            e->setObjectName(name);
        }
        for (const char* name : {"exit_dat", "vorod_dat"})
            addInput(new MaskEdit(MaskEdit::Kind::Date, name, this));
        for (const char* name : {"exit_tim", "vorod_tim"})
            addInput(new MaskEdit(MaskEdit::Kind::Time, name, this));
        for (QWidget* w : {input("khodro_typ"), input("ranande"), input("num")})
            focusColours().watch(w);
        enterChain().chain({input("khodro_typ"), input("ranande")});
        enterSaves(input("num"));
    }
    static Declaration declare(gc::Tdm& dm) {
        Declaration d;
        d.name = "test_ins";
        d.caption = "ثبت/ويرايش";
        d.query = &dm.ADOQ_khodro;
        d.savedColumns = {"ranande",   "num", "exit_dat",  "exit_tim",  "vorod_dat",
                          "vorod_tim", "cmt", "negahban1", "negahban2", "khodro_typ"};
        d.editCopies = {"ranande",   "num", "exit_dat",  "exit_tim",  "vorod_dat",
                        "vorod_tim", "cmt", "negahban1", "khodro_typ"};
        d.newGuardInput = "negahban1";
        d.editGuardInput = "negahban2";
        d.newTodayInputs = {"exit_dat"};
        d.newNowInputs = {"exit_tim"};
        d.presetFills = {{"khodro_typ", "نوع"}};
        return d;
    }
    QComboBox* typ;
};

class Families : public ::testing::Test {
  protected:
    void SetUp() override {
        dm = kh::freshModule(Backend::SQLite);
        rows = kh::sampleRows();
        kh::insertRows(*dm, rows);
        clock.set(QDateTime(QDate(2024, 3, 20), QTime(13, 5)));
        ctx = std::make_unique<RegisterContext>(
            RegisterContext{*dm, date, clock, [] { return QStringLiteral("نگهبان"); }, opener,
                            printUi, dir.path()});
        list = std::make_unique<TestList>(*dm, *ctx);
        entry = std::make_unique<TestEntry>(*dm, *ctx);
        list->setEntry(entry.get());
    }
    void exec(const QString& sql) { dm->ADOConnection1.execute(sql); }
    QString scalar(const QString& sql) {
        return kh::sqlite3(kh::sqliteFile(dm->ADOConnection1.connectionString()), sql);
    }
    QString title(int gridColumn, int role = Qt::DisplayRole) {
        return list->gridModel()
            ->headerData(list->gridModel()->gridToField(gridColumn), Qt::Horizontal, role)
            .toString();
    }
    bool bold(int gridColumn) {
        const QVariant f = list->gridModel()->headerData(list->gridModel()->gridToField(gridColumn),
                                                         Qt::Horizontal, Qt::FontRole);
        return f.isValid() && f.value<QFont>().bold();
    }

    QTemporaryDir dir;
    std::unique_ptr<gc::Tdm> dm;
    std::vector<kh::Row> rows;
    gc::test::FakeClock clock;
    gc::CurrentPersianDate date{clock};
    FakeOpener opener;
    PdfPreviewUi printUi{dir.filePath("preview.pdf")};
    std::unique_ptr<RegisterContext> ctx;
    std::unique_ptr<TestList> list;
    std::unique_ptr<TestEntry> entry;
    gctest::ScriptedDialogs dialogs;
};

using gctest::readXlsx;

QJsonObject cell(const QJsonObject& sheet, const QString& name) {
    return sheet["cells"].toObject()[name].toObject();
}

QString borderOf(const QJsonObject& sheet, const QString& name) {
    const QJsonArray b = cell(sheet, name)["border"].toArray();
    return b.isEmpty() ? QString() : b[0].toString();
}

} // namespace

TEST_F(Families, UntickedFiltersStayDisabledAndDoNotNarrow) {
    EXPECT_FALSE(list->driver->isEnabled());
    list->driver->setEditText("هيچ كس");
    list->from->setText("1403/01/01");
    ASSERT_TRUE(list->search());
    EXPECT_EQ(list->countLabel()->text(), "60");

    list->dateBox->setChecked(true);
    EXPECT_TRUE(list->from->isEnabled());
    EXPECT_EQ(list->from->palette().color(QPalette::Base), QColor(Qt::yellow));
    list->to->setText("1403/01/02");
    list->search();
    EXPECT_EQ(list->countLabel()->text(), scalar("select count(*) from khodro where exit_dat "
                                                 "between '1403/01/01' and '1403/01/02'"));
    list->dateBox->setChecked(false);
    EXPECT_NE(list->from->palette().color(QPalette::Base), QColor(Qt::yellow));
    list->notBack->setChecked(true);
    list->search();
    EXPECT_EQ(list->countLabel()->text(),
              scalar("select count(*) from khodro where vorod_dat='    /  /  '"));
}

TEST_F(Families, TitleClicksSortInPlaceAndBoldOneTitle) {
    list->search();
    gc::db::Query& q = dm->ADOQ_khodro;
    EXPECT_EQ(list->LastSortColumn(), -1);
    list->ToggleColumnSort(5); // exit_tim
    EXPECT_TRUE(bold(5));
    EXPECT_EQ(q.sort(), "exit_tim ASC");
    q.first();
    EXPECT_EQ(q.fieldByName("exit_tim").asString(), "00:00");
    list->ToggleColumnSort(5);
    EXPECT_EQ(q.sort(), "exit_tim DESC");
    list->ToggleColumnSort(5);
    EXPECT_EQ(q.sort(), "exit_tim ASC");
    // Another title takes the bold and starts ascending.
    list->grid()->horizontalHeader()->sectionClicked(list->gridModel()->gridToField(3));
    EXPECT_EQ(list->LastSortColumn(), 3);
    EXPECT_FALSE(bold(5));
    EXPECT_TRUE(bold(3));
    EXPECT_EQ(q.sort(), "num ASC");
    EXPECT_EQ(title(3), " شماره خودرو");
    EXPECT_EQ(
        list->gridModel()
            ->headerData(list->gridModel()->gridToField(4), Qt::Horizontal, Qt::BackgroundRole)
            .value<QColor>(),
        QColor(Qt::cyan));
    // The grid shows the declared order, the key hidden.
    QHeaderView* h = list->grid()->horizontalHeader();
    EXPECT_EQ(h->visualIndex(list->gridModel()->gridToField(2)), 2);
    EXPECT_TRUE(list->grid()->isColumnHidden(list->gridModel()->gridToField(0)));
    EXPECT_TRUE(list->grid()->isColumnHidden(q.fieldIndex("cmt")));
    // The next search returns to the register's order.
    list->search();
    EXPECT_EQ(q.sort(), "");
}

TEST_F(Families, ZoomIsBounded) {
    list->search();
    QFont f = list->grid()->font();
    f.setPointSize(47);
    list->grid()->setFont(f);
    const int field = list->gridModel()->gridToField(1);
    list->grid()->setColumnWidth(field, 100);
    list->command(RegisterList::Command::ZoomIn)->trigger();
    EXPECT_EQ(list->grid()->font().pointSize(), 48);
    EXPECT_EQ(list->grid()->columnWidth(field), 105);
    list->zoom(1); // at the bound nothing changes
    EXPECT_EQ(list->grid()->font().pointSize(), 48);
    EXPECT_EQ(list->grid()->columnWidth(field), 105);
    for (int i = 0; i < 60; ++i)
        list->zoom(-1);
    EXPECT_EQ(list->grid()->font().pointSize(), 6);
    EXPECT_EQ(list->grid()->columnWidth(field), 20);
    // The last column is not zoomed.
    EXPECT_EQ(list->declaration().zoomColumns.contains(5), false);
}

TEST_F(Families, DeleteNeedsTheStoredPasswordAndCancelNeverDeletes) {
    exec("insert into setting (component, cmt) values ('رمز حذف', '?')");
    exec("insert into setting (component, cmt) values ('رمز حذف', 'second')");
    list->search();
    gc::db::Query& q = dm->ADOQ_khodro;
    q.setRecNo(3);
    const QString id = q.fieldByName("id").asString();

    dialogs.inputs = {QString()}; // Cancel, which once answered the default "?"
    EXPECT_EQ(list->deleteCurrent(), DeleteOutcome::Cancelled);
    dialogs.inputs = {"second"}; // only the first value is the password
    EXPECT_EQ(list->deleteCurrent(), DeleteOutcome::WrongPassword);
    dialogs.inputs = {"? "};
    EXPECT_EQ(list->deleteCurrent(), DeleteOutcome::WrongPassword);
    EXPECT_TRUE(dialogs.messages.isEmpty()); // wrong answers say nothing
    EXPECT_EQ(scalar("select count(*) from khodro"), "60");

    dialogs.inputs = {"?"};
    EXPECT_EQ(list->deleteCurrent(), DeleteOutcome::Deleted);
    EXPECT_EQ(dialogs.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(scalar("select count(*) from khodro where id=" + id), "0");
    EXPECT_EQ(scalar("select count(*) from khodro"), "59");

    // No stored password: the empty answer deletes.
    exec("delete from setting");
    dialogs.inputs = {""};
    EXPECT_EQ(list->deleteCurrent(), DeleteOutcome::Deleted);
    EXPECT_EQ(scalar("select count(*) from khodro"), "58");

    // No current row: nothing is asked or deleted.
    list->driverBox->setChecked(true);
    list->driver->setEditText("nobody");
    list->search();
    dialogs.inputs = {""};
    EXPECT_EQ(list->deleteCurrent(), DeleteOutcome::NoRow);
    EXPECT_EQ(dialogs.inputs.size(), 1u);
}

TEST_F(Families, ExportWritesTheSheetAndKeepsTheCurrentRow) {
    exec("update khodro set num='0012' where id=1");
    for (const int n : {0, 1, 2, 60}) {
        SCOPED_TRACE(n);
        exec("delete from setting");
        const QString where = n == 60 ? QString() : QStringLiteral(" and id<=%1").arg(n);
        dm->ADOQ_khodro.setSql("select * from khodro where id<>-1" + where + " order by id");
        dm->ADOQ_khodro.open();
        if (n > 1)
            dm->ADOQ_khodro.setRecNo(2);
        const int before = dm->ADOQ_khodro.recNo();
        dialogs.messages.clear();
        list->command(RegisterList::Command::Export)->trigger();
        EXPECT_EQ(dm->ADOQ_khodro.recNo(), before);
        ASSERT_EQ(opener.opened.size(), 1);
        const QString path = opener.opened.takeFirst();
        // Nothing opened it, so the user is told where it is.
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].text.contains(gc::text::isolatedLtr(path)));

        const QJsonObject sheet = readXlsx(path);
        EXPECT_EQ(sheet["name"].toString(), "Sheet1");
        EXPECT_TRUE(sheet["rightToLeft"].toBool());
        EXPECT_EQ(sheet["maxRow"].toInt(), n + 1);
        EXPECT_EQ(cell(sheet, "A1")["value"].toString(), "id");
        EXPECT_EQ(cell(sheet, "B1")["value"].toString(), "ranande");
        EXPECT_EQ(cell(sheet, "C1")["value"].toString(), "شماره خودرو");
        EXPECT_EQ(cell(sheet, "D1")["value"].toString(), "تاريخ خروج");
        EXPECT_TRUE(cell(sheet, "A1")["bold"].toBool());
        EXPECT_TRUE(cell(sheet, "M1")["bold"].toBool());
        EXPECT_EQ(borderOf(sheet, "A1"), "slantDashDot");
        EXPECT_EQ(borderOf(sheet, "M1"), "slantDashDot");
        // A width of 10 characters is stored with the cell padding the file format adds.
        EXPECT_NEAR(sheet["widths"].toObject()["A"].toDouble(), 10.71, 0.01);
        EXPECT_NEAR(sheet["widths"].toObject()["M"].toDouble(), 10.71, 0.01);
        if (n > 0) {
            EXPECT_EQ(cell(sheet, "C2")["value"].toString(), "0012");
            EXPECT_EQ(cell(sheet, "C2")["type"].toString(), "s");
            EXPECT_EQ(cell(sheet, "A2")["value"].toString(), "1");
            EXPECT_EQ(borderOf(sheet, "A2"), "thin");
            EXPECT_EQ(borderOf(sheet, QStringLiteral("M%1").arg(n + 1)), "thin");
            EXPECT_FALSE(cell(sheet, "A2")["bold"].toBool());
        }
        EXPECT_EQ(borderOf(sheet, QStringLiteral("A%1").arg(n + 2)), "");
        // Fields are trimmed: a blank date or time keeps none of its outer spaces.
        if (n == 60) {
            EXPECT_EQ(cell(sheet, "H14")["value"].toString(), "/  /");
            EXPECT_EQ(cell(sheet, "I14")["value"].toString(), ":");
        }
    }
}

TEST_F(Families, CurrentTimeIsTwentyFourHourFromOneReading) {
    CountingClock c;
    for (const auto& [at, text] : std::vector<std::pair<QTime, QString>>{{QTime(13, 5), "13:05"},
                                                                         {QTime(12, 30), "12:30"},
                                                                         {QTime(9, 15), "09:15"},
                                                                         {QTime(0, 10), "00:10"}}) {
        c.at = QDateTime(QDate(2024, 3, 20), at);
        c.reads = 0;
        EXPECT_EQ(CurrentTime24(c), text);
        EXPECT_EQ(c.reads, 1);
    }
}

TEST_F(Families, NewRecordSavesThroughTheListsQuery) {
    list->search();
    exec("insert into setting (component, cmt) values ('نوع', 'اداري')");
    exec("insert into setting (component, cmt) values ('نوع', 'شخصي')");
    entry->prepareNew();
    EXPECT_FALSE(entry->insButton()->isHidden());
    EXPECT_TRUE(entry->editButton()->isHidden());
    EXPECT_EQ(entry->text("exit_dat"), "1403/01/01");
    EXPECT_EQ(entry->text("exit_tim"), "13:05");
    EXPECT_EQ(entry->text("vorod_dat"), kBlankDate);
    EXPECT_EQ(entry->text("vorod_tim"), "  :  ");
    EXPECT_EQ(entry->text("negahban1"), "نگهبان");
    entry->typ->setEditText("شخصي");
    entry->show();
    // Refilling the drop-down on show keeps its text.
    EXPECT_EQ(entry->typ->count(), 2);
    EXPECT_EQ(entry->typ->currentText(), "شخصي");
    entry->setText("ranande", "تازه");
    // A partly filled date is refused (named by its input: this window lays out no captions);
    // the blank time means not recorded yet.
    entry->setText("vorod_dat", "1403/01");
    EXPECT_FALSE(entry->saveNew());
    EXPECT_EQ(dialogs.texts(), QStringList{gc::BadDateMessage("vorod_dat", "1403/01/  ")});
    EXPECT_EQ(scalar("select count(*) from khodro where ranande='تازه'"), "0");
    dialogs.messages.clear();
    entry->setText("vorod_dat", "1403/01/31");
    ASSERT_TRUE(entry->saveNew());
    EXPECT_EQ(dialogs.texts(), QStringList{"ثبت شد"});
    EXPECT_EQ(dm->ADOQ_khodro.fieldByName("ranande").asString(), "تازه");
    EXPECT_EQ(scalar("select vorod_dat || '|' || vorod_tim || '|' || khodro_typ from khodro "
                     "where ranande='تازه'"),
              "1403/01/31|  :  |شخصي");
    entry->hide();
}

TEST_F(Families, AFailedPostIsCancelledAndShownAndKeepsTheInputs) {
    list->search();
    entry->prepareNew();
    const QString tooLong(120, QChar('x'));
    entry->setText("ranande", tooLong); // the column holds 100 characters
    EXPECT_FALSE(entry->saveNew());
    EXPECT_EQ(dm->ADOQ_khodro.state(), gc::db::Query::State::Browse);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains("ranande"));
    EXPECT_EQ(entry->text("ranande"), tooLong);
    EXPECT_EQ(scalar("select count(*) from khodro"), "60");
    // After the fix the same window saves.
    entry->setText("ranande", "كوتاه");
    EXPECT_TRUE(entry->saveNew());
    EXPECT_EQ(scalar("select count(*) from khodro"), "61");
}

TEST_F(Families, EditSavesTheRowItWasOpenedOn) {
    list->search();
    gc::db::Query& q = dm->ADOQ_khodro;
    q.setRecNo(4);
    const QString id = q.fieldByName("id").asString();
    entry->prepareEdit();
    EXPECT_TRUE(entry->insButton()->isHidden());
    EXPECT_EQ(entry->text("ranande"), q.fieldByName("ranande").asString());
    EXPECT_EQ(entry->text("negahban2"), "نگهبان");
    entry->setText("vorod_tim", "17:45");
    q.setRecNo(9); // the list moved meanwhile
    entry->show();
    ASSERT_TRUE(entry->saveEdit());
    EXPECT_FALSE(entry->isVisible()); // save edit closes the window
    EXPECT_EQ(scalar("select vorod_tim from khodro where id=" + id), "17:45");
    EXPECT_EQ(scalar("select count(*) from khodro where vorod_tim='17:45'"), "1");
    EXPECT_EQ(scalar("select negahban2 from khodro where id=" + id), "نگهبان");
}

TEST_F(Families, EditOnAnEmptyListAddsARow) {
    list->driverBox->setChecked(true);
    list->driver->setEditText("nobody");
    list->search();
    entry->prepareEdit();
    EXPECT_EQ(entry->text("ranande"), "");
    entry->setText("ranande", "جديد");
    ASSERT_TRUE(entry->saveEdit());
    EXPECT_EQ(scalar("select count(*) from khodro"), "61");
}

TEST_F(Families, EditBeforeAnySearchAddsARowAndWritesOverNone) {
    ASSERT_FALSE(dm->ADOQ_khodro.isActive());
    const QString first =
        scalar("select ranande from khodro where id=(select min(id) from khodro)");
    entry->prepareEdit();
    EXPECT_EQ(entry->text("ranande"), "");
    entry->setText("ranande", "جديد");
    ASSERT_TRUE(entry->saveEdit());
    EXPECT_EQ(scalar("select count(*) from khodro"), "61");
    EXPECT_EQ(scalar("select ranande from khodro where id=(select min(id) from khodro)"), first);
}

TEST_F(Families, FocusColoursAndTheEnterChain) {
    list->search();
    entry->prepareNew();
    entry->show();
    QApplication::setActiveWindow(entry.get());
    entry->typ->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(entry->typ->palette().color(QPalette::Base), QColor(Qt::yellow));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), entry->input("ranande"));
    EXPECT_NE(entry->typ->palette().color(QPalette::Base), QColor(Qt::yellow));
    // Enter in the plate runs the save button that is shown.
    entry->setText("ranande", "با اينتر");
    entry->input("num")->setFocus();
    QTest::keyClick(entry->input("num"), Qt::Key_Enter);
    EXPECT_EQ(scalar("select count(*) from khodro where ranande='با اينتر'"), "1");
    entry->prepareEdit();
    entry->setText("cmt", "edited by enter");
    QTest::keyClick(entry->input("num"), Qt::Key_Enter);
    EXPECT_EQ(scalar("select count(*) from khodro where ranande='با اينتر'"), "1");
    EXPECT_EQ(scalar("select cmt from khodro where ranande='با اينتر'"), "edited by enter");
}

TEST_F(Families, CommandsAreActionsTheMainWindowCanSwitch) {
    ASSERT_NE(list->insertAction(), nullptr);
    EXPECT_EQ(list->insertAction()->objectName(), "N1");
    EXPECT_EQ(list->editAction()->text(), "ويرايش");
    EXPECT_EQ(list->deleteAction()->objectName(), "N3");
    list->deleteAction()->setEnabled(false);
    list->deleteAction()->trigger();
    EXPECT_EQ(scalar("select count(*) from khodro"), "60");
    EXPECT_NE(list->findChild<QTableView*>("DBGrid1"), nullptr);
    EXPECT_NE(list->findChild<QWidget*>("src_btn"), nullptr);
}

TEST_F(Families, PrintShowsTheListsRowsWithTodayAndRepeatedHeaders) {
    list->search();
    dm->ADOQ_khodro.setRecNo(7);
    list->command(RegisterList::Command::Print)->trigger();
    EXPECT_EQ(dm->ADOQ_khodro.recNo(), 7);
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();
    const QString pdf = dir.filePath("preview.pdf");
    EXPECT_TRUE(gc::report::pdf::pageSize(pdf).startsWith("595 x 420"))
        << gc::report::pdf::pageSize(pdf).toStdString();
    const int pages = gc::report::pdf::pageCount(pdf);
    EXPECT_GT(pages, 1);
    EXPECT_EQ(pages, printUi.result.pages);
    const QString first = gc::report::pdf::text(pdf, 1);
    const QString last = gc::report::pdf::text(pdf, pages);
    for (const QString& page : {first, last}) {
        EXPECT_TRUE(page.contains("سربرگ"));
        EXPECT_TRUE(page.contains("1403/01/01")); // today, in the date label
        EXPECT_TRUE(page.contains("رديف"));
    }
    EXPECT_TRUE(last.contains(QString::number(pages)));
    EXPECT_TRUE(gc::report::pdf::text(pdf).contains("60")); // the last running number
    EXPECT_TRUE(first.contains("1403/02/01"));              // the newest rows first

    // Printing with no printer: the question goes through the dialogs; No saves a PDF.
    class NoPrinter : public gc::report::Printer {
      public:
        bool isAvailable() const override { return false; }
        QString name() const override { return {}; }
        gc::report::RenderResult print(gc::report::Report&) override { return {}; }
    } none;
    DialogsPrintUi ui;
    RegisterContext withDialogs{*dm, date, clock, ctx->guardName, opener, ui, dir.path()};
    TestList printing(*dm, withDialogs);
    printing.search();
    const QString out = dir.filePath("printed");
    dialogs.answers = {gc::ui::No};
    dialogs.files = {out};
    const auto outcome = printing.print(none);
    EXPECT_EQ(outcome.status, gc::report::PrintStatus::SavedPdf);
    EXPECT_EQ(outcome.detail, out + ".pdf");
    EXPECT_EQ(gc::report::pdf::pageCount(out + ".pdf"), pages);
    dialogs.answers = {gc::ui::Cancel};
    EXPECT_EQ(printing.print(none).status, gc::report::PrintStatus::Cancelled);
}
