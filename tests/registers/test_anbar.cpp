#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/ui/widgets.h"
#include "recording_dialogs.h"
#include "register_harness.h"
#include "registers/anbar/anbar_ins.h"
#include "registers/anbar/anbar_src.h"
#include "registers/shared/list_page.h"
#include "registers/shared/mask_inputs.h"
#include "support/xlsx_reader.h"
#include "windows/shell/page.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

using gc::db::quoted;
using Command = gc::registers::RegisterList::Command;

namespace {

const QString kSelect = QStringLiteral("Select * from anbar where ID<>-1");
const QString kCount = QStringLiteral("Select count(*) as c from anbar where ID<>-1");
const QString kOrder = QStringLiteral(" order by dat desc ");
const QString kColumns = "typ, cod, kala, vahed, cnt, dat, saat, sanad, mabda, maghsad, prs1, "
                         "prs2, khodro, negahban, cmt";

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class Anbar : public gctest::RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        list = std::make_unique<gc::registers::Tanbar_src>(*ctx);
        ins = std::make_unique<gc::registers::Tanbar_ins>(*ctx);
        list->setEntry(ins.get());
    }
    void TearDown() override {
        ins.reset();
        list.reset();
    }
    void addGoods(const QString& cod, const QString& cmt, const QString& vahed) {
        exec("insert into kala (cod, cmt, vahed) values (" + quoted(cod) + ", " + quoted(cmt) +
             ", " + quoted(vahed) + ")");
    }
    void addRow(const QStringList& values) {
        QStringList quotedValues;
        for (const QString& v : values)
            quotedValues << quoted(v);
        exec("insert into anbar (" + kColumns + ") values (" + quotedValues.join(", ") + ")");
    }
    QString rows() { return scalar("select " + kColumns + " from anbar order by id"); }
    void untickAll() {
        for (int i = 1; i <= 5; ++i)
            list->CheckBox(i)->setChecked(false);
    }
    void expectLines(const QStringList& lines) {
        EXPECT_EQ(dm->ADOQuery1.sql().lines(), QStringList{kCount} + lines);
        EXPECT_EQ(dm->ADOQ_anbar.sql().lines(), QStringList{kSelect} + lines + QStringList{kOrder});
    }
    QString text(const QString& name) { return ins->text(name); }

    std::unique_ptr<gc::registers::Tanbar_ins> ins;
    std::unique_ptr<gc::registers::Tanbar_src> list;
    gctest::RecordingDialogs boxes;
};

TEST_P(Anbar, TheCatalogueCascadeOffersDescriptionsAndUnits) {
    addGoods("100", "پيچ", "عدد");
    addGoods("200", "كابل", "متر");
    addGoods("200", "كابل", "حلقه");
    addGoods("200", "سيم", "متر");
    addGoods("3'0", "چسب'ي", "عدد");
    list->show();
    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(items(ins->cod()), (QStringList{"100", "200", "3'0"}));

        // One entry: description and unit at once.
        type(ins->cod(), "100");
        EXPECT_EQ(ins->kala()->currentText(), "پيچ");
        EXPECT_EQ(ins->vahed()->currentText(), "عدد");

        // Several: both empty, each description once per unit.
        pick(ins->cod(), "200");
        EXPECT_EQ(ins->kala()->currentText(), "");
        EXPECT_EQ(ins->vahed()->currentText(), "");
        QStringList offered = items(ins->kala());
        offered.sort();
        EXPECT_EQ(offered, (QStringList{"سيم", "كابل", "كابل"}));
        pick(ins->kala(), "سيم");
        EXPECT_EQ(ins->vahed()->currentText(), "متر");
        pick(ins->kala(), "كابل");
        EXPECT_EQ(ins->vahed()->currentText(), "");
        EXPECT_EQ(items(ins->vahed()).size(), 2);

        // Quotes look up like any other character.
        pick(ins->cod(), "3'0");
        EXPECT_EQ(ins->kala()->currentText(), "چسب'ي");
        EXPECT_EQ(ins->vahed()->currentText(), "عدد");
        type(ins->kala(), "چسب'ي");
        EXPECT_EQ(ins->vahed()->currentText(), "عدد");

        // Unknown code: everything empty.
        type(ins->cod(), "999");
        EXPECT_EQ(ins->kala()->currentText(), "");
        EXPECT_EQ(ins->kala()->count(), 0);
        EXPECT_EQ(ins->vahed()->currentText(), "");
    });
    EXPECT_TRUE(boxes.messages.isEmpty());

    // Goods added later are not offered until restart, but the cascade finds them.
    addGoods("150", "مهره", "عدد");
    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(items(ins->cod()), (QStringList{"100", "200", "3'0"}));
        type(ins->cod(), "150");
        EXPECT_EQ(ins->kala()->currentText(), "مهره");
    });
}

TEST_P(Anbar, ACodeTypedKeyByKeyLooksUpWhatTheBoxShows) {
    addGoods("10", "پيچ", "عدد");
    addGoods("1001", "مهره", "كيلو");
    list->show();
    whileModal(list->insertAction(), ins.get(), [&] {
        type(ins->cod(), "10");
        EXPECT_EQ(ins->cod()->currentText(), "10");
        EXPECT_EQ(ins->kala()->currentText(), "پيچ");
        EXPECT_EQ(ins->vahed()->currentText(), "عدد");
        type(ins->kala(), "پ");
        EXPECT_EQ(ins->kala()->currentText(), "پ");
        EXPECT_EQ(ins->vahed()->currentText(), "");
    });
}

TEST_P(Anbar, ACatalogueFailureIsShownForTheCodeAndIgnoredForTheUnits) {
    exec("drop table kala");
    type(ins->cod(), "1"); // each keystroke looks up
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages.front().icon, gc::ui::MsgIcon::Error);
    ins->cod()->setEditText("100");
    type(ins->kala(), "پيچ");
    EXPECT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(ins->vahed()->currentText(), "");
}

TEST_P(Anbar, NewRowsAreStoredAsTypedTwiceIfSavedTwice) {
    addPreset("مقصد", "انبار مركزي");
    addPreset("شماره خودرو اداري", "12ب345");
    list->prepare();
    ins->edit("cmt")->setText("مانده");
    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(ins->typ()->itemIndex(), 0);
        EXPECT_EQ(ins->dat()->storedText(), "1403/01/01");
        EXPECT_EQ(ins->saat()->storedText(), "13:05");
        EXPECT_EQ(text("negahban"), gctest::kGuard);
        EXPECT_FALSE(ins->input("negahban")->isEnabled());
        EXPECT_EQ(text("cmt"), "");
        EXPECT_EQ(items(ins->combo("mabda")), QStringList{"انبار مركزي"});
        EXPECT_EQ(items(ins->combo("maghsad")), QStringList{"انبار مركزي"});
        EXPECT_EQ(items(ins->combo("khodro")), QStringList{"12ب345"});
        EXPECT_FALSE(ins->insButton()->isHidden());
        EXPECT_TRUE(ins->editButton()->isHidden());

        ins->typ()->setItemIndex(1);
        ins->cod()->setEditText("X1");
        ins->kala()->setEditText("لوله");
        ins->vahed()->setEditText("شاخه");
        ins->edit("cnt")->setText("چند");
        clickLabel(ins.get(), " - - -", 0); // the date blank
        ins->edit("sanad")->setText("S-9");
        ins->combo("mabda")->setEditText("انبار مركزي");
        ins->combo("maghsad")->setEditText("كارگاه");
        ins->combo("prs1")->setEditText("احمدي");
        ins->edit("prs2")->setText("رضايي");
        ins->combo("khodro")->setEditText("12ب345");
        ins->edit("cmt")->setText("فوري");
        ins->insButton()->click();
        ins->insButton()->click();
        EXPECT_EQ(boxes.texts(), (QStringList{"ثبت شد", "ثبت شد"}));
        EXPECT_TRUE(ins->isVisible());
        EXPECT_EQ(ins->cod()->currentText(), "X1");
    });
    const QString row = "خروج|X1|لوله|شاخه|چند|    /  /  |13:05|S-9|انبار مركزي|كارگاه|احمدي|رضايي|"
                        "12ب345|" +
                        gctest::kGuard + "|فوري";
    EXPECT_EQ(rows(), row + "\n" + row);

    // The type is kept by the next "new".
    whileModal(list->insertAction(), ins.get(), [&] { EXPECT_EQ(ins->typ()->itemIndex(), 1); });
}

TEST_P(Anbar, EditCopiesTheRowAndSavesTheCurrentGuard) {
    addRow({"برگشت", "A", "ب", "ج", "5", "1403/01/01", "08:00", "1", "م", "ق", "پ1", "پ2", "خ",
            "نگهبان قبلي", "ت"});
    addRow({"نامعلوم", "B", "", "", "", "1403/01/01", "09:00", "", "", "", "", "", "", "قبلي", ""});
    list->prepare();
    ASSERT_TRUE(dm->ADOQ_anbar.locate("cod", "A"));
    list->showQueryRow();
    ins->typ()->setItemIndex(3);
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->typ()->itemIndex(), 2);
        EXPECT_EQ(text("negahban"), "نگهبان قبلي");
        EXPECT_EQ(text("saat"), "08:00");
        EXPECT_EQ(text("prs2"), "پ2");
        EXPECT_TRUE(ins->insButton()->isHidden());
        EXPECT_FALSE(ins->editButton()->isHidden());
        ins->edit("cnt")->setText("6");
        ins->editButton()->click();
        EXPECT_FALSE(ins->isVisible());
    });
    EXPECT_EQ(scalar("select typ, cnt, negahban from anbar where cod='A'"),
              "برگشت|6|" + gctest::kGuard);

    // A type that is none of the four keeps the selector's choice, and saving writes it.
    ASSERT_TRUE(dm->ADOQ_anbar.locate("cod", "B"));
    list->showQueryRow();
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->typ()->itemIndex(), 2);
        ins->editButton()->click();
    });
    EXPECT_EQ(scalar("select typ from anbar where cod='B'"), "برگشت");
}

TEST_P(Anbar, EditOnAnEmptyListAddsARow) {
    list->prepare();
    ASSERT_EQ(dm->ADOQ_anbar.recordCount(), 0);
    ins->typ()->setItemIndex(3);
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->typ()->itemIndex(), 3);
        EXPECT_EQ(text("cod"), "");
        ins->cod()->setEditText("N");
        ins->editButton()->click();
    });
    EXPECT_EQ(scalar("select typ, cod, negahban from anbar"), "اماني|N|" + gctest::kGuard);
}

TEST_P(Anbar, PreparedListShowsTodayAndEachFilterAddsItsLine) {
    addPreset("مقصد", "كارگاه");
    addRow({"رسيد", "1", "كابل مسي", "متر", "5", "1403/01/01", "08:00", "", "", "كارگاه", "علي",
            "رضا", "", "گ", ""});
    addRow({"خروج", "2", "سيم", "متر", "5", "1403/01/01", "09:00", "", "", "انبار", "حسن", "علي",
            "", "گ", ""});
    addRow({"اماني", "3", "كابل", "متر", "5", "1402/12/29", "09:00", "", "", "كارگاه", "ن", "م", "",
            "گ", ""});
    addRow(
        {"رسيد", "4", "كابل", "متر", "5", "    /  /  ", "09:00", "", "", "", "", "", "", "گ", ""});
    list->typ()->setEditText("قبلي");
    list->prs()->setText("قبلي");
    list->prepare();
    EXPECT_TRUE(list->CheckBox(3)->isChecked());
    EXPECT_EQ(list->dat1()->storedText(), "1403/01/01");
    EXPECT_EQ(list->typ()->currentText(), "");
    EXPECT_FALSE(list->typ()->isEnabled());
    expectLines({" and dat>='1403/01/01' and dat<='1403/01/01'"});
    EXPECT_EQ(list->countLabel()->text(), "2");

    // A blank date never falls in a range.
    list->dat1()->setText("1300/01/01");
    list->search();
    EXPECT_EQ(list->countLabel()->text(), "3");
    dm->ADOQ_anbar.first();
    EXPECT_EQ(dm->ADOQ_anbar.fieldByName("dat").asString(), "1403/01/01");

    list->CheckBox(5)->setChecked(true);
    list->prs()->setText("علي");
    list->search();
    expectLines({" and dat>='1300/01/01' and dat<='1403/01/01'",
                 " and ( prs1 like '%علي%' escape '\\' OR prs2 like '%علي%' escape '\\')"});
    EXPECT_EQ(list->countLabel()->text(), "2");

    untickAll();
    list->CheckBox(1)->setChecked(true);
    list->CheckBox(2)->setChecked(true);
    list->CheckBox(4)->setChecked(true);
    EXPECT_EQ(list->kala()->palette().color(QPalette::Base), QColor(Qt::yellow));
    list->typ()->setEditText("رسيد");
    list->kala()->setText("كابل");
    list->maghsad()->setEditText("كار'");
    list->search();
    expectLines({" and typ like '%رسيد%' escape '\\'", " and kala like '%كابل%' escape '\\'",
                 " and maghsad like '%كار''%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(), "0");
    list->maghsad()->setEditText("كارگاه");
    list->search();
    EXPECT_EQ(list->countLabel()->text(), "1");

    list->show();
    EXPECT_EQ(items(list->maghsad()), QStringList{"كارگاه"});
    EXPECT_EQ(list->maghsad()->currentText(), "كارگاه");
    list->hide();

    QStringList menu;
    for (QAction* a : list->findChild<QMenuBar*>("MainMenu1")->actions())
        menu << a->objectName() + " " + a->text();
    EXPECT_EQ(menu,
              (QStringList{"N1 ثبت", "N2 ويرايش", "N5 حذف", "N3 اكسل", "N6 +", "N7 _", "N4 خروج"}));
    gc::registers::RegisterListPage page(*list, [&](const gc::PageContext&) { list->prepare(); });
    const gc::PageCommands commands = page.commands();
    EXPECT_EQ(commands.insert, QList<QObject*>{list->findChild<QAction*>("N1")});
    EXPECT_EQ(commands.edit, QList<QObject*>{list->findChild<QAction*>("N2")});
    EXPECT_EQ(commands.remove, QList<QObject*>{list->findChild<QAction*>("N5")});
}

TEST_P(Anbar, DeleteNeedsThePasswordAndExportNamesTheHeaders) {
    addPreset("رمز حذف", "12");
    addRow(
        {"رسيد", "1", "كابل", "متر", "5", "1403/01/01", "08:00", "", "", "", "", "", "", "گ1", ""});
    addRow(
        {"رسيد", "2", "سيم", "متر", "5", "1403/01/01", "09:00", "", "", "", "", "", "", "گ2", ""});
    list->prepare();

    list->command(Command::Export)->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject cells = gctest::readXlsx(opener.opened.front())["cells"].toObject();
    const QStringList heads = {"شناسه", "نوع",    "کد",       "نام کالا", "واحد",    "مقدار",
                               "dat",   "saat",   "sanad",    "mabda",    "maghsad", "prs1",
                               "prs2",  "khodro", "negahban", "cmt"};
    for (int i = 0; i < heads.size(); ++i)
        EXPECT_EQ(cells[QString(QChar('A' + i)) + "1"].toObject()["value"].toString(), heads[i]);
    boxes.messages.clear();

    ASSERT_TRUE(dm->ADOQ_anbar.locate("cod", "2"));
    list->showQueryRow();
    boxes.inputs = {"21"};
    list->deleteAction()->trigger();
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(scalar("select count(*) from anbar"), "2");
    boxes.inputs = {"12"};
    list->deleteAction()->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(scalar("select cod from anbar"), "1");
}

INSTANTIATE_TEST_SUITE_P(Engines, Anbar,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);

} // namespace
