#include "parking_harness.h"
#include "platform/db/query.h"
#include "registers/shared/mask_inputs.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace gctest;
using namespace gctest::parking;

namespace {

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class ParkingEntry : public Harness {
  protected:
    QString stored(const QString& column, int id) {
        return scalar("select " + column + " from parking where id=" + QString::number(id));
    }
};

} // namespace

TEST_P(ParkingEntry, NewRowStartsOnTodayTheGuardAndTheDefaultPlaceAndIsStoredAsTyped) {
    addPreset(kPlateList, "55د555");
    addPreset(kPlateList, "11د111");
    addPreset(kPlaceList, "حياط");
    addPreset(kPlaceList, "زيرزمين", true);
    ins->dat()->setText("1399/01/01");
    ins->cmt()->setText("قبلي");
    untickAll();
    list->search();

    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(ins->windowTitle(), "ثبت/ويرايش پاركينگ");
        EXPECT_EQ(ins->num()->currentText(), "");
        EXPECT_EQ(ins->cmt()->text(), "");
        EXPECT_EQ(ins->dat()->storedText(), "1403/01/01");
        EXPECT_EQ(ins->negahban()->text(), kGuard);
        EXPECT_FALSE(ins->negahban()->isEnabled());
        EXPECT_EQ(ins->loc()->currentText(), "زيرزمين");
        EXPECT_FALSE(ins->insButton()->isHidden());
        EXPECT_TRUE(ins->editButton()->isHidden());
        // Plates sorted, places in row order.
        EXPECT_EQ(items(ins->num()), (QStringList{"11د111", "55د555"}));
        EXPECT_EQ(items(ins->loc()), (QStringList{"حياط", "زيرزمين"}));

        pick(ins->num(), "55د555");
        type(ins->cmt(), "كنار در 'شرقي'");
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
        EXPECT_EQ(dialogs.texts(), QStringList{"ثبت شد"});
        EXPECT_TRUE(ins->isVisible()); // stays open for the next vehicle

        // The blank date label gives the blank mask, stored as it is. No duplicate check.
        clickLabel(ins.get(), "- - -");
        EXPECT_EQ(ins->dat()->storedText(), gc::registers::kBlankDate);
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
    });

    EXPECT_EQ(scalar("select count(*) from parking"), "2");
    EXPECT_EQ(scalar("select num || '|' || dat || '|' || loc || '|' || cmt || '|' || negahban "
                     "from parking order by id limit 1"),
              "55د555|1403/01/01|زيرزمين|كنار در 'شرقي'|" + kGuard);
    EXPECT_EQ(scalar("select '[' || dat || ']' from parking order by id desc limit 1"),
              "[    /  /  ]");
    EXPECT_EQ(dm->ADOQ_parking.recordCount(), 2); // the list shows the saved rows
}

TEST_P(ParkingEntry, WithoutADefaultThePlaceStartsEmpty) {
    addPreset(kPlaceList, "حياط");
    addPreset("پارکينگ", "نام ديگر", true); // Persian kaf: another list
    ins->loc()->setEditText("مانده");
    whileModal(list->insertAction(), ins.get(), [&] { EXPECT_EQ(ins->loc()->currentText(), ""); });
}

TEST_P(ParkingEntry, EditCopiesTheRowAndStampsTheCurrentGuard) {
    addRow("12ب345", "1403/01/01", "حياط", "قديمي", "نگهبان قبلي");
    addRow("77د123", "1402/12/29", "انبار", "", "نگهبان قبلي");
    untickAll();
    list->search();
    ASSERT_TRUE(dm->ADOQ_parking.locate("num", "12ب345"));
    const int id = int(dm->ADOQ_parking.fieldByName("id").asInteger());

    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(ins->num()->currentText(), "12ب345");
        EXPECT_EQ(ins->loc()->currentText(), "حياط");
        EXPECT_EQ(ins->dat()->storedText(), "1403/01/01");
        EXPECT_EQ(ins->cmt()->text(), "قديمي");
        EXPECT_EQ(ins->negahban()->text(), kGuard);
        EXPECT_TRUE(ins->insButton()->isHidden());
        EXPECT_FALSE(ins->editButton()->isHidden());
        type(ins->loc(), "زيرزمين");
        QTest::mouseClick(ins->editButton(), Qt::LeftButton);
        EXPECT_FALSE(ins->isVisible()); // the edit closes the window
    });
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(stored("loc", id), "زيرزمين");
    EXPECT_EQ(stored("negahban", id), kGuard);
    EXPECT_EQ(stored("cmt", id), "قديمي");
    EXPECT_EQ(scalar("select count(*) from parking"), "2");
}

TEST_P(ParkingEntry, ARefusedSaveSaysSoAndStoresNothing) {
    untickAll();
    list->search();
    whileModal(list->insertAction(), ins.get(), [&] {
        ins->num()->setEditText(QString(101, QChar('9'))); // wider than the column
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages.front().icon, gc::ui::MsgIcon::Error);
        EXPECT_NE(dialogs.messages.front().text, "ثبت شد");
        EXPECT_EQ(ins->num()->currentText().size(), 101); // what was typed stays
        // A character outside the stored code page is refused too.
        ins->num()->setEditText("12ب345");
        ins->cmt()->setText("😀");
        QTest::mouseClick(ins->insButton(), Qt::LeftButton);
        EXPECT_EQ(dialogs.messages.size(), 2);
        EXPECT_FALSE(dialogs.texts().contains("ثبت شد"));
    });
    EXPECT_EQ(scalar("select count(*) from parking"), "0");
    EXPECT_EQ(gc::db::Query::State::Browse, dm->ADOQ_parking.state());
}

INSTANTIATE_TEST_SUITE_P(Engines, ParkingEntry,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         engineName);
