#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/ui/widgets.h"
#include "recording_dialogs.h"
#include "register_harness.h"
#include "registers/kala/core/kala_sql.h"
#include "registers/kala/kala.h"
#include "registers/kala/kala_page.h"
#include "windows/shell/page.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

using gc::db::quoted;

namespace {

const QString kSelect = QStringLiteral("select * from kala where id<>-1 ");
const QString kCount = QStringLiteral("select count(*) as c from kala where id<>-1 ");

class Kala : public gctest::RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        kala = std::make_unique<gc::registers::Tkala>(*ctx);
    }
    void TearDown() override { kala.reset(); }
    void addEntry(const QString& cod, const QString& cmt, const QString& vahed) {
        exec("insert into kala (cod, cmt, vahed) values (" + quoted(cod) + ", " + quoted(cmt) +
             ", " + quoted(vahed) + ")");
    }
    void expectLines(const QStringList& lines) {
        EXPECT_EQ(dm->ADOQ_kala.sql().lines(), QStringList{kSelect} + lines);
        EXPECT_EQ(dm->ADOQuery1.sql().lines(), QStringList{kCount} + lines);
    }
    void enter(const QString& cod, const QString& cmt, const QString& vahed) {
        kala->cod->setText(cod);
        kala->cmt->setText(cmt);
        kala->vahed->setText(vahed);
    }
    QString entries() { return scalar("select cod, cmt, vahed from kala order by id"); }
    std::unique_ptr<gc::registers::Tkala> kala;
    // Made after the harness's own, so these answer.
    gctest::RecordingDialogs boxes;
};

TEST_P(Kala, EveryKeystrokeSearchesThePickedColumn) {
    addEntry("1201", "پيچ", "عدد");
    addEntry("1202", "مهره", "عدد");
    addEntry("3120", "سيم", "متر");
    addEntry("4000", "كابل 12 رشته", "متر");

    gc::registers::KalaPage page(*kala);
    gc::test::FakeClock big;
    gc::CurrentPersianDate bigDate(big);
    page.prepare(gc::PageContext(QSize(900, 700), bigDate));
    EXPECT_EQ(kala->height(), 650);
    expectLines({" and cod like '%%' escape '\\'"}); // the first opening lists everything
    EXPECT_EQ(kala->countLabel()->text(), "4");
    EXPECT_EQ(kala->RadioGroup1->itemIndex(), 0);

    type(kala->src, "1");
    expectLines({" and cod like '%1%' escape '\\'"});
    EXPECT_EQ(kala->countLabel()->text(), "3");
    type(kala->src, "12");
    expectLines({" and cod like '%12%' escape '\\'"});
    EXPECT_EQ(kala->countLabel()->text(),
              scalar("select count(*) from kala where cod like '%12%'"));
    EXPECT_EQ(dm->ADOQ_kala.recordCount(), 3);

    // The column switch alone searches nothing; the next keystroke does.
    kala->RadioGroup1->setItemIndex(1);
    expectLines({" and cod like '%12%' escape '\\'"});
    type(kala->src, "12'");
    expectLines({" and cmt like '%12''%' escape '\\'"});
    EXPECT_EQ(kala->countLabel()->text(), "0");
    kala->RadioGroup1->setItemIndex(2);
    kala->src->setText("متر");
    expectLines({" and vahed like '%متر%' escape '\\'"});
    EXPECT_EQ(kala->countLabel()->text(), "2");

    // A later opening empties the search text, which lists everything again.
    kala->cod->setText("x");
    page.prepare(gc::PageContext(QSize(900, 700), bigDate));
    EXPECT_EQ(kala->cod->text(), "");
    EXPECT_EQ(kala->src->text(), "");
    EXPECT_EQ(kala->countLabel()->text(), "4");

    kala->grid()->horizontalHeader()->sectionClicked(kala->gridModel()->gridToField(2));
    EXPECT_EQ(dm->ADOQ_kala.sort(), "cmt ASC");
    EXPECT_EQ(kala->findChild<QMenuBar*>(), nullptr);
    EXPECT_EQ(kala->searchButton(), nullptr);
    const gc::PageCommands commands = page.commands();
    EXPECT_EQ(commands.insert, QList<QObject*>{kala->ins_btn});
    EXPECT_TRUE(commands.edit.isEmpty());
    EXPECT_EQ(commands.remove, QList<QObject*>{kala->N1});
}

TEST_P(Kala, OnlyAnEntryEqualInAllThreeTextsIsRefused) {
    kala->prepare();
    enter("1201", "پيچ 'M8'", "عدد");
    kala->ins_btn->click();
    EXPECT_EQ(boxes.texts(), QStringList{"ثبت شد"});
    kala->ins_btn->click();
    EXPECT_EQ(boxes.texts().last(), "خطا! تکراريست");
    EXPECT_EQ(kala->cod->text(), "1201"); // the edits keep their texts
    kala->vahed->setText("بسته");
    kala->ins_btn->click();
    kala->cmt->setText("پيچ M10");
    kala->ins_btn->click();
    EXPECT_EQ(boxes.texts(), (QStringList{"ثبت شد", "خطا! تکراريست", "ثبت شد", "ثبت شد"}));
    EXPECT_EQ(entries(), "1201|پيچ 'M8'|عدد\n1201|پيچ 'M8'|بسته\n1201|پيچ M10|بسته");
    EXPECT_EQ(kala->countLabel()->text(), "3"); // searched again after each save

    // Empty texts are an entry too, once.
    enter("", "", "");
    kala->ins_btn->click();
    kala->ins_btn->click();
    EXPECT_EQ(boxes.texts().mid(4), (QStringList{"ثبت شد", "خطا! تکراريست"}));
    EXPECT_EQ(scalar("select count(*) from kala"), "4");
}

TEST_P(Kala, ACodeTooLongForItsColumnIsRefusedAndNothingSaidSaved) {
    kala->prepare();
    enter(QString(51, QChar('7')), "پيچ", "عدد");
    kala->ins_btn->click();
    ASSERT_EQ(boxes.messages.size(), 1);
    EXPECT_EQ(boxes.messages.front().icon, gc::ui::MsgIcon::Error);
    EXPECT_NE(boxes.messages.front().text, "ثبت شد");
    EXPECT_EQ(scalar("select count(*) from kala"), "0");
    EXPECT_EQ(dm->ADOQ_kala.state(), gc::db::Query::State::Browse);
    // The window goes on working.
    kala->cod->setText("77");
    kala->ins_btn->click();
    EXPECT_EQ(boxes.texts().last(), "ثبت شد");
    EXPECT_EQ(entries(), "77|پيچ|عدد");
}

TEST_P(Kala, DeleteCopiesTheEntryAndNeedsTheCatalogueCode) {
    addPreset("رمز حذف", "2947x"); // the registers' password plays no part here
    addEntry("1201", "پيچ", "عدد");
    addEntry("1202", "مهره", "عدد");
    addEntry("1203", "واشر", "بسته");
    kala->prepare();
    ASSERT_TRUE(dm->ADOQ_kala.locate("cod", "1202"));
    kala->showQueryRow();

    boxes.inputs = {"2947x"};
    kala->N1->trigger();
    EXPECT_EQ(kala->cod->text(), "1202");
    EXPECT_EQ(kala->cmt->text(), "مهره");
    EXPECT_EQ(kala->vahed->text(), "عدد");
    ASSERT_EQ(boxes.asked.size(), 1);
    EXPECT_EQ(boxes.asked.front().caption, "Password");
    EXPECT_EQ(boxes.asked.front().prompt, "اسم رمز");
    EXPECT_EQ(boxes.asked.front().initial, "?");
    kala->N1->trigger(); // cancelled
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(scalar("select count(*) from kala"), "3");

    boxes.inputs = {"2947"};
    kala->N1->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"حذف شد"});
    EXPECT_EQ(scalar("select cod from kala order by cod"), "1201\n1203");
    EXPECT_EQ(kala->countLabel()->text(), "2");

    // Put straight back from the copied texts.
    kala->ins_btn->click();
    EXPECT_EQ(boxes.texts().last(), "ثبت شد");
    EXPECT_EQ(scalar("select cmt from kala where cod='1202'"), "مهره");

    // Nothing to delete: nothing asked.
    exec("delete from kala");
    kala->prepare();
    kala->src->setText("x");
    boxes.asked.clear();
    kala->N1->trigger();
    EXPECT_TRUE(boxes.asked.isEmpty());
}

TEST_P(Kala, LookUpsForTheWarehouse) {
    addEntry("20", "سيم", "متر");
    addEntry("10", "پيچ", "عدد");
    addEntry("10", "پيچ", "بسته");
    addEntry("10", "پيچ", "عدد");
    addEntry("10", "مهره", "عدد");
    namespace kala = gc::registers::kala;
    EXPECT_EQ(kala::codes(dm->ADOQuery1), (QStringList{"10", "20"}));
    const auto described = kala::descriptionsOf(dm->ADOQuery1, "10");
    QStringList pairs;
    for (const auto& d : described)
        pairs << d.cmt + "/" + d.vahed;
    QStringList expected = {"پيچ/بسته", "پيچ/عدد", "مهره/عدد"};
    pairs.sort();
    expected.sort();
    EXPECT_EQ(pairs, expected);
    QStringList units = kala::unitsOf(dm->ADOQuery1, "10", "پيچ");
    units.sort();
    EXPECT_EQ(units, (QStringList{"بسته", "عدد"})); // ب before ع
    EXPECT_TRUE(kala::unitsOf(dm->ADOQuery1, "1'0", "پيچ").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, Kala,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);

} // namespace
