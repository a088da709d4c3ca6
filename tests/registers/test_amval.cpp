#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/ui/widgets.h"
#include "register_harness.h"
#include "registers/amval/amval_ins.h"
#include "registers/amval/amval_list.h"
#include "registers/shared/mask_inputs.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace gctest;
using gc::db::quoted;
using gc::registers::RegisterList;
using gc::registers::Tins;

namespace {

const QString kSelect = QStringLiteral("Select * from amval where ID<>-1");
const QString kCount = QStringLiteral("Select count(*) as c from amval where ID<>-1");
const QString kOrder = QStringLiteral(" order by exit_dat desc ");
const QString kAll = QStringLiteral(
    "kharejkonande || '|' || taeidkonande || '|' || cnt || '|' || nam || '|' || odat || '|' || "
    "num || '|' || exit_dat || '|' || exit_tim || '|' || elat || '|' || maghsad || '|' || daghi "
    "|| '|' || maghsad_tel || '|' || vorod_dat || '|' || vorod_tim || '|' || malek || '|' || "
    "cmt || '|' || negahban1 || '|' || negahban2");

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QString cellText(const QJsonObject& sheet, const QString& name) {
    return sheet["cells"].toObject()[name].toObject()["value"].toString();
}

class Amval : public RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        // In the start-up order: entry, then list.
        ins = std::make_unique<Tins>(*ctx);
        list = std::make_unique<gc::registers::Tamval_list>(*ctx, *ins);
    }
    void TearDown() override {
        list.reset();
        ins.reset();
    }
    void addRow(const QString& who, const QString& item, const QString& exitDat,
                const QString& vorodDat, const QString& guard1 = QStringLiteral("قبلي")) {
        exec("insert into amval (kharejkonande, taeidkonande, cnt, nam, odat, num, exit_dat, "
             "exit_tim, elat, maghsad, daghi, maghsad_tel, vorod_dat, vorod_tim, malek, cmt, "
             "negahban1, negahban2) values (" +
             quoted(who) + ", 'مدير', '2', " + quoted(item) + ", 'دارد', 'A-7', " +
             quoted(exitDat) + ", '08:00', 'تعمير', 'كارگاه', 'ندارد', '021', " + quoted(vorodDat) +
             ", '  :  ', 'شركت', '', " + quoted(guard1) + ", '')");
    }
    void untickAll() {
        for (int i = 1; i <= 4; ++i)
            list->CheckBox(i)->setChecked(false);
    }
    void expectLines(const QStringList& lines) {
        EXPECT_EQ(dm->ADOQ_amval.sql().lines(), QStringList{kSelect} + lines + QStringList{kOrder});
        EXPECT_EQ(dm->ADOQuery1.sql().lines(), QStringList{kCount} + lines);
    }
    QStringList column(const QString& field) {
        QStringList out;
        gc::db::Query& q = dm->ADOQ_amval;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(field).asString();
        return out;
    }
    void switchMode(int index) { ins->RadioGroup1()->button(index)->click(); }
    QString txt(const QString& name) { return ins->text(name); }

    std::unique_ptr<Tins> ins;
    std::unique_ptr<gc::registers::Tamval_list> list;
};

} // namespace

TEST_P(Amval, NewItemStartsWithExitDefaultsAndEachSaveAddsARow) {
    addPreset("نام كالا", "لپ تاپ");
    addPreset("نام كالا", "پرينتر");
    addPreset("علل خروج", "تعمير");
    addPreset("مقصد", "كارگاه");
    addPreset("مالك", "شركت");
    exec("insert into asami (surname) values ('احمدي')");
    exec("insert into asami (surname) values ('احمدي')");
    ins->box("nam")->setEditText("قبلي");
    untickAll();
    list->search();

    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(ins->windowTitle(), "ثبت/ويرايش اموال");
        EXPECT_EQ(items(ins->box("nam")), (QStringList{"لپ تاپ", "پرينتر"}));
        EXPECT_EQ(items(ins->box("malek")), QStringList{"شركت"});
        EXPECT_EQ(items(ins->box("kharejkonande")), QStringList{"احمدي"});
        EXPECT_EQ(items(ins->box("taeidkonande")), QStringList{"احمدي"});
        EXPECT_EQ(items(ins->box("odat")), (QStringList{"دارد", "ندارد"}));
        EXPECT_EQ(txt("nam"), "");
        EXPECT_EQ(txt("odat"), "دارد");
        EXPECT_EQ(txt("daghi"), "ندارد");
        EXPECT_EQ(txt("cnt"), "1");
        EXPECT_EQ(txt("malek"), "کاروندیس");
        EXPECT_EQ(txt("exit_dat"), "1403/01/01");
        EXPECT_EQ(txt("exit_tim"), "13:05");
        EXPECT_EQ(txt("vorod_dat"), gc::registers::kBlankDate);
        EXPECT_EQ(txt("negahban1"), kGuard);
        EXPECT_EQ(txt("negahban2"), "");
        EXPECT_FALSE(ins->edit("negahban1")->isEnabled());
        EXPECT_TRUE(ins->editButton()->isHidden());
        EXPECT_EQ(ins->Label1()->text(), "نام خارج كننده");

        pick(ins->box("kharejkonande"), "احمدي");
        pick(ins->box("nam"), "پرينتر");
        type(ins->edit("num"), "P-'12'");
        type(ins->box("maghsad"), "دفتر مركزي");
        type(ins->edit("maghsad_tel"), "0211234");
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
        EXPECT_EQ(dialogs.texts(), QStringList{"ثبت شد"});
        EXPECT_TRUE(ins->isVisible()); // stays open, fields kept
        EXPECT_EQ(txt("nam"), "پرينتر");
        QTest::mouseClick(ins->insButton(), Qt::LeftButton); // no duplicate check
    });

    EXPECT_EQ(scalar("select count(*) from amval"), "2");
    const QString row = "احمدي||1|پرينتر|دارد|P-'12'|1403/01/01|13:05||دفتر مركزي|ندارد|0211234|"
                        "    /  /  |  :  |کارونديس||" + // the stored code page has one yeh
                        kGuard +
                        "|";
    EXPECT_EQ(scalar("select " + kAll + " from amval order by id limit 1"), row);
    EXPECT_EQ(scalar("select " + kAll + " from amval order by id desc limit 1"), row);
    EXPECT_EQ(dm->ADOQ_amval.recordCount(), 2); // the list shows them at once
}

TEST_P(Amval, ModeSwitchStampsOneSideAndBlanksTheOther) {
    untickAll();
    list->search();
    whileModal(list->insertAction(), ins.get(), [&] {
        clock.set(QDateTime(QDate(2024, 3, 21), QTime(9, 30))); // 1403/01/02
        switchMode(Tins::Entry);
        EXPECT_EQ(ins->Label1()->text(), "نام وارد کننده");
        EXPECT_EQ(ins->Label8()->text(), "علت ورود");
        EXPECT_EQ(txt("exit_dat"), gc::registers::kBlankDate);
        EXPECT_EQ(txt("exit_tim"), gc::registers::kBlankTime);
        EXPECT_EQ(txt("vorod_dat"), "1403/01/02");
        EXPECT_EQ(txt("vorod_tim"), "09:30");
        EXPECT_EQ(txt("negahban1"), "");
        EXPECT_EQ(txt("negahban2"), kGuard);
        EXPECT_FALSE(ins->insButton()->isHidden()); // the switch saves nothing
        EXPECT_TRUE(dialogs.messages.isEmpty());
        type(ins->box("kharejkonande"), "پيمانكار");
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
    });
    EXPECT_EQ(
        scalar("select '[' || exit_dat || '|' || exit_tim || '|' || vorod_dat || '|' || vorod_tim "
               "|| '|' || negahban1 || '|' || negahban2 from amval"),
        "[    /  /  |  :  |1403/01/02|09:30||" + kGuard);

    // "New" fills the exit side though the selector still shows the entry mode.
    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(ins->RadioGroup1()->itemIndex(), Tins::Entry);
        EXPECT_EQ(ins->Label1()->text(), "نام وارد کننده");
        EXPECT_EQ(txt("exit_dat"), "1403/01/02");
        EXPECT_EQ(txt("vorod_dat"), gc::registers::kBlankDate);
        EXPECT_EQ(txt("negahban1"), kGuard);
        clock.set(QDateTime(QDate(2024, 3, 21), QTime(10, 0)));
        switchMode(Tins::Exit);
        EXPECT_EQ(ins->Label1()->text(), "نام خارج کننده");
        EXPECT_EQ(ins->Label8()->text(), "علت خروج");
        EXPECT_EQ(txt("exit_tim"), "10:00");
        EXPECT_EQ(txt("negahban1"), kGuard);
        EXPECT_EQ(txt("negahban2"), "");
    });
}

TEST_P(Amval, EditRegistersTheReturnAndKeepsTheExitGuard) {
    addRow("احمدي", "لپ تاپ", "1403/01/01", "    /  /  ", "نگهبان قبلي");
    addRow("رضايي", "پرينتر", "1402/12/20", "    /  /  ");
    untickAll();
    list->search();
    ASSERT_TRUE(dm->ADOQ_amval.locate("kharejkonande", "احمدي"));
    const QString id = dm->ADOQ_amval.fieldByName("id").asString();

    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(txt("nam"), "لپ تاپ");
        EXPECT_EQ(txt("cnt"), "2");
        EXPECT_EQ(txt("exit_tim"), "08:00");
        EXPECT_EQ(txt("negahban1"), "نگهبان قبلي");
        EXPECT_EQ(txt("negahban2"), kGuard);
        EXPECT_TRUE(ins->insButton()->isHidden());
        EXPECT_FALSE(ins->editButton()->isHidden());
        clickLabel(ins.get(), "تاريخ ورود");
        clickLabel(ins.get(), "ساعت ورود");
        QTest::mouseClick(ins->editButton(), Qt::LeftButton);
        EXPECT_FALSE(ins->isVisible());
    });
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(scalar("select count(*) from amval"), "2");
    EXPECT_EQ(scalar("select vorod_dat || '|' || vorod_tim || '|' || negahban1 || '|' || "
                     "negahban2 || '|' || exit_dat from amval where id=" +
                     id),
              "1403/01/01|13:05|نگهبان قبلي|" + kGuard + "|1403/01/01");

    // Switching the mode while editing blanks the exit side of the row once saved.
    ASSERT_TRUE(dm->ADOQ_amval.locate("kharejkonande", "رضايي"));
    const QString other = dm->ADOQ_amval.fieldByName("id").asString();
    whileModal(list->editAction(), ins.get(), [&] {
        switchMode(Tins::Entry);
        QTest::mouseClick(ins->editButton(), Qt::LeftButton);
    });
    EXPECT_EQ(
        scalar("select '[' || exit_dat || '|' || negahban1 || '|' || vorod_dat from amval where "
               "id=" +
               other),
        "[    /  /  ||1403/01/01"); // blanks kept
}

TEST_P(Amval, ARefusedSaveSaysSoAndLeavesTheListUsable) {
    untickAll();
    list->search();
    whileModal(list->insertAction(), ins.get(), [&] {
        type(ins->box("nam"), QString(51, QChar('x'))); // wider than the column
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages.front().icon, gc::ui::MsgIcon::Error);
        EXPECT_EQ(txt("nam").size(), 51); // what was typed stays
        type(ins->box("nam"), "مانيتور");
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
        EXPECT_EQ(dialogs.texts().back(), "ثبت شد");
    });
    EXPECT_EQ(scalar("select nam from amval"), "مانيتور");
    EXPECT_EQ(gc::db::Query::State::Browse, dm->ADOQ_amval.state());
}

TEST_P(Amval, PreparedListShowsTodaysExitsAndFiltersAddTheirLines) {
    addRow("احمدي", "لپ تاپ", "1403/01/01", "    /  /  ");
    addRow("ع'لي", "پرينتر", "1403/01/01", "1403/01/03");
    addRow("رضايي", "لپ تاپ", "1402/12/20", "1403/01/01");
    addRow("وارد كننده", "ميز", "    /  /  ", "1403/01/01");
    list->KharejKonande()->setText("مانده");
    list->prepare();
    EXPECT_TRUE(list->CheckBox(3)->isChecked());
    EXPECT_EQ(list->KharejKonande()->text(), "");
    EXPECT_EQ(list->vorod_dat2()->storedText(), "1403/01/01");
    expectLines({" and exit_dat>='1403/01/01' and exit_dat<='1403/01/01'"});
    EXPECT_EQ(list->countLabel()->text(), "2");

    // Not-yet-returned rows never fall in an entry-date range; the entry-mode row does.
    untickAll();
    list->CheckBox(4)->setChecked(true);
    list->vorod_dat1()->setText("1403/01/01");
    list->vorod_dat2()->setText("1403/01/03");
    list->search();
    expectLines({" and vorod_dat>='1403/01/01' and vorod_dat<='1403/01/03'"});
    EXPECT_EQ(list->countLabel()->text(), "3");
    EXPECT_EQ(column("exit_dat"), (QStringList{"1403/01/01", "1402/12/20", "    /  /  "}));

    // Person and item filters: a typed quote is doubled, not SQL.
    untickAll();
    list->CheckBox(1)->setChecked(true);
    EXPECT_TRUE(list->KharejKonande()->isEnabled());
    list->KharejKonande()->setText("ع'ل");
    list->CheckBox(2)->setChecked(true);
    list->nam()->setText("پرينتر");
    list->search();
    expectLines(
        {" and kharejkonande like '%ع''ل%' escape '\\'", " and nam like '%پرينتر%' escape '\\'"});
    EXPECT_EQ(list->countLabel()->text(), "1");

    list->CheckBox(1)->setChecked(false);
    EXPECT_FALSE(list->KharejKonande()->isEnabled());
}

TEST_P(Amval, MenuGridZoomDeleteAndExport) {
    addRow("احمدي", "لپ تاپ", "1403/01/01", "    /  /  ");
    addRow("رضايي", "پرينتر", "1402/12/20", "1403/01/01");
    addPreset("رمز حذف", "123");
    EXPECT_EQ(list->windowTitle(), "ليست اموال تردد شده");
    QStringList menu;
    for (QAction* a : list->findChild<QMenuBar*>("MainMenu1")->actions())
        menu << a->objectName() + " " + a->text();
    EXPECT_EQ(menu,
              (QStringList{"N1 ثبت", "N2 ويرايش", "N5 حذف", "N3 اكسل", "N6 +", "N7 _", "N4 خروج"}));

    untickAll();
    list->search();
    auto* model = list->gridModel();
    const auto title = [&](int g, int role = Qt::DisplayRole) {
        return model->headerData(model->gridToField(g), Qt::Horizontal, role);
    };
    EXPECT_TRUE(list->grid()->isColumnHidden(model->gridToField(0)));
    EXPECT_EQ(title(1).toString(), "خارج/وارد كننده");
    EXPECT_EQ(title(18).toString(), "نگهبان ورود");
    EXPECT_EQ(title(6, Qt::BackgroundRole).value<QColor>(), QColor(Qt::yellow));
    const int last = model->gridToField(18);
    EXPECT_EQ(list->grid()->columnWidth(last), 80);
    list->command(RegisterList::Command::ZoomIn)->trigger();
    EXPECT_EQ(list->grid()->columnWidth(last), 85);

    // A wrong password deletes nothing and says nothing.
    ASSERT_TRUE(dm->ADOQ_amval.locate("kharejkonande", "رضايي"));
    dialogs.inputs = {"12", "123"};
    list->command(RegisterList::Command::Delete)->trigger();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    list->command(RegisterList::Command::Delete)->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(scalar("select count(*) from amval"), "1");
    EXPECT_EQ(column("kharejkonande"), QStringList{"احمدي"});

    list->command(RegisterList::Command::Export)->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QJsonObject sheet = readXlsx(opener.opened.front());
    EXPECT_EQ(cellText(sheet, "A1"), "id");
    EXPECT_EQ(cellText(sheet, "B1"), "خارج كننده");
    EXPECT_EQ(cellText(sheet, "G1"), "شماره اموال");
    EXPECT_EQ(cellText(sheet, "S1"), "نگهبان ورود");
    EXPECT_EQ(cellText(sheet, "B2"), "احمدي");
    EXPECT_EQ(sheet["maxRow"].toInt(), 2);
}

TEST_P(Amval, EnterChainsBlankCaptionsAndEditOnAnEmptyResult) {
    list->CheckBox(1)->setChecked(true);
    list->KharejKonande()->setText("هيچ كس");
    list->search();
    ASSERT_EQ(dm->ADOQ_amval.recordCount(), 0);
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(txt("kharejkonande"), "");
        EXPECT_EQ(txt("negahban2"), kGuard);
        // Enter walks the chains; the last input of a chain keeps the focus.
        QApplication::setActiveWindow(ins.get());
        ins->input("exit_tim")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), ins->input("elat"));
        ins->input("nam")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), ins->input("odat"));
        ins->input("cnt")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), ins->input("cnt"));
        EXPECT_TRUE(dialogs.messages.isEmpty());
        clickLabel(ins.get(), "تاريخ خروج");
        EXPECT_EQ(txt("exit_dat"), "1403/01/01");
        clickLabel(ins.get(), " - - -");
        EXPECT_EQ(txt("exit_dat"), gc::registers::kBlankDate);
        type(ins->box("nam"), "صندلي");
        QTest::mouseClick(ins->editButton(), Qt::LeftButton);
    });
    // Nothing to edit: the save adds the row instead of losing it.
    EXPECT_EQ(scalar("select nam || '|' || negahban2 from amval"), "صندلي|" + kGuard);
}

INSTANTIATE_TEST_SUITE_P(Engines, Amval,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         engineName);
