#include "core/stamp_text.h"
#include "khodro_harness.h"
#include "khodro_rows.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "registers/shared/mask_inputs.h"
#include "support/typing.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <csignal>

using namespace gctest::khodro;
using gc::registers::kBlankDate;
using gc::registers::kBlankTime;

namespace {

const QString kPersonal = QStringLiteral("شخصي");
const QString kOfficial = QStringLiteral("اداري");
const QString kDuplicate = QStringLiteral(
    "اين نام خانوادگي و شماره ماشين در اين تاريخ تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kPersonnel =
    QStringLiteral("خودرو ثبت شد.  آيا مي خواهيد نام راننده در بخش پرسنل نيز ثبت گردد؟");
const QString kClose =
    QStringLiteral("ويرايش انجام شد.  آيا مي خواهيد خود اين فرد نيز خروج بخورد؟");
const QString kUnsaved = QStringLiteral("اطلاعات ثبت نشده است. بسته شود؟");

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class KhodroEntry : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        addPerson("رضايي", "1001", "12ب345", "مالي");
        addPerson("احمدي", "2002", "11الف111", "اداري");
        addPerson("كريمي", "2002", "22ب222", "فني");
        addPreset("نام راننده اداري", "حسيني");
        addPreset("نام راننده اداري", "باقري");
        addPreset("شماره خودرو اداري", "55د555");
        addPreset("علل خروج", "ماموريت");
        addPreset("مقصد", "ستاد");
        list->search();
    }
    void enter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }
};

} // namespace

TEST_P(KhodroEntry, PersonalCarByCardIsSavedWithItsPersonnelRowOnce) {
    whileModal(list->insertAction(), ins.get(), [&] {
        // The new command empties the type and stamps today and the guard.
        EXPECT_EQ(in("khodro_typ"), "");
        EXPECT_EQ(in("exit_dat"), "1403/01/01");
        EXPECT_EQ(in("vorod_dat"), "1403/01/01");
        EXPECT_EQ(in("exit_tim"), kBlankTime);
        EXPECT_EQ(in("negahban1"), kGuard);
        EXPECT_FALSE(ins->insButton()->isHidden());
        EXPECT_TRUE(ins->editButton()->isHidden());
        EXPECT_EQ(items(ins->findChild<QComboBox*>("elat")), QStringList{"ماموريت"});

        clock.set(QDateTime(QDate(2024, 3, 20), QTime(14, 20)));
        pick(ins->khodro_typ(), kPersonal);
        EXPECT_EQ(items(ins->ranande()), (QStringList{"احمدي", "رضايي", "كريمي"}));
        EXPECT_EQ(items(ins->num()).size(), 3);
        EXPECT_EQ(in("vorod_dat"), "1403/01/01");
        EXPECT_EQ(in("vorod_tim"), "14:20");
        EXPECT_EQ(in("exit_tim"), kBlankTime);

        type(ins->cart_no(), "1001");
        EXPECT_EQ(in("ranande"), "رضايي");
        EXPECT_EQ(in("num"), "12ب345");
        EXPECT_EQ(ins->driverVahedTabe(), "مالي");
        ins->findChild<QComboBox*>("elat")->setEditText("ماموريت");

        enter(ins->cart_no()); // saves; Yes to the personnel question
        EXPECT_EQ(dialogs.texts(), QStringList{kPersonnel});
        EXPECT_TRUE(ins->isVisible());
        // Ready for the next car of the same type.
        EXPECT_EQ(in("ranande"), "");
        EXPECT_EQ(in("cart_no"), "");
        EXPECT_EQ(in("num"), "");
        EXPECT_EQ(in("khodro_typ"), kPersonal);

        // The same car again the same day: the duplicate question, and no second
        // personnel row.
        dialogs.messages.clear();
        type(ins->cart_no(), "1001");
        enter(ins->cart_no());
        EXPECT_EQ(dialogs.texts(), (QStringList{kDuplicate, kPersonnel}));

        // No to the duplicate question saves nothing and clears the driver for the next.
        dialogs.messages.clear();
        dialogs.answers = {gc::ui::No};
        type(ins->cart_no(), "1001");
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{kDuplicate});
        EXPECT_EQ(in("ranande"), "");
    });
    EXPECT_EQ(scalar("select count(*) from khodro"), "2");
    EXPECT_EQ(scalar("select ranande||'|'||num||'|'||exit_dat||'|'||exit_tim||'|'||vorod_dat||'|'"
                     "||vorod_tim||'|'||elat||'|'||negahban1||'|'||khodro_typ from khodro where "
                     "id=(select min(id) from khodro)"),
              "رضايي|12ب345|1403/01/01|  :  |1403/01/01|14:20|ماموريت|" + kGuard + "|" + kPersonal);
    EXPECT_EQ(scalar("select count(*) from prs"), "1");
    EXPECT_EQ(scalar("select cart_no||'|'||nam||'|'||semat||'|'||exit_tim||'|'||exit_dat||'|'||"
                     "elat||'|'||vorod_tim||'|'||cmt||'|'||negahban1 from prs"),
              "1001|رضايي|مالي|  :  |1403/01/01|ماموريت|14:20|پرسنل با خودرو|" + kGuard);
    // The list shows the saved rows at once.
    EXPECT_EQ(dm->ADOQ_khodro.recordCount(), 2);
}

TEST_P(KhodroEntry, LookUpsByCardDriverAndPlateKeepWhatTheyFilled) {
    whileModal(list->insertAction(), ins.get(), [&] {
        pick(ins->khodro_typ(), kPersonal);
        // A card shared by two people fills both lists and sets neither text.
        type(ins->cart_no(), "2002");
        EXPECT_EQ(items(ins->ranande()), (QStringList{"احمدي", "كريمي"}));
        EXPECT_EQ(items(ins->num()), (QStringList{"11الف111", "22ب222"}));
        EXPECT_EQ(in("ranande"), "");
        EXPECT_EQ(in("num"), "");

        // The plate finds its driver and empties the card; emptying the card does not run
        // the card look-up, which would empty the plate just typed.
        type(ins->num(), "22ب222");
        EXPECT_EQ(in("ranande"), "كريمي");
        EXPECT_EQ(in("cart_no"), "");
        EXPECT_EQ(in("num"), "22ب222");

        // The driver finds the plate.
        type(ins->ranande(), "احمدي");
        EXPECT_EQ(in("num"), "11الف111");
        EXPECT_EQ(items(ins->num()), QStringList{"11الف111"});

        // An unknown card empties the driver and the plate and finds no department.
        type(ins->cart_no(), "9");
        EXPECT_EQ(in("ranande"), "");
        EXPECT_EQ(in("num"), "");
        EXPECT_EQ(ins->driverVahedTabe(), "");
        EXPECT_TRUE(dialogs.messages.isEmpty());
    });
}

TEST_P(KhodroEntry, OfficialCarShowsSavedAndAsksNothingAboutPersonnel) {
    whileModal(list->insertAction(), ins.get(), [&] {
        pick(ins->khodro_typ(), kOfficial);
        EXPECT_EQ(items(ins->ranande()), (QStringList{"باقري", "حسيني"}));
        EXPECT_EQ(items(ins->num()), QStringList{"55د555"});
        EXPECT_EQ(in("vorod_tim"), kBlankTime); // only a personal car arrives now
        // The card look-up is for personal cars only.
        type(ins->cart_no(), "1001");
        EXPECT_EQ(in("ranande"), "");
        type(ins->ranande(), "حسيني");
        EXPECT_EQ(in("num"), "");
        pick(ins->num(), "55د555");
        EXPECT_EQ(in("ranande"), "حسيني");
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{"ثبت شد"});
    });
    EXPECT_EQ(scalar("select ranande||'|'||num||'|'||khodro_typ from khodro"),
              "حسيني|55د555|" + kOfficial);
    EXPECT_EQ(scalar("select count(*) from prs"), "0");
}

TEST_P(KhodroEntry, UnknownTypeEmptiesTheListsWithoutAnError) {
    whileModal(list->insertAction(), ins.get(), [&] {
        pick(ins->khodro_typ(), kPersonal);
        ASSERT_EQ(items(ins->ranande()).size(), 3);
        type(ins->khodro_typ(), "وانت");
        EXPECT_TRUE(items(ins->ranande()).isEmpty());
        EXPECT_TRUE(items(ins->num()).isEmpty());
        // Saved as typed; every type but the official one is offered to the personnel
        // register.
        ins->setText("ranande", "موقت");
        dialogs.answers = {gc::ui::No};
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{kPersonnel});
        // And again with the type the new command leaves empty.
        type(ins->khodro_typ(), "");
        ins->setText("ranande", "بي نوع");
        dialogs.answers = {gc::ui::Cancel};
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), (QStringList{kPersonnel, kPersonnel}));
    });
    EXPECT_EQ(scalar("select count(*) from khodro where khodro_typ='وانت'"), "1");
    EXPECT_EQ(scalar("select count(*) from khodro where ranande='بي نوع' and khodro_typ=''"), "1");
    EXPECT_EQ(scalar("select count(*) from prs"), "0");
}

TEST_P(KhodroEntry, ReturnClosesTheDriversOpenPersonnelRowOnYes) {
    // The car arrives with its driver's personnel row.
    whileModal(list->insertAction(), ins.get(), [&] {
        pick(ins->khodro_typ(), kPersonal);
        type(ins->cart_no(), "1001");
        enter(ins->cart_no());
    });
    exec("insert into prs (nam, exit_dat, exit_tim, cmt) values ('رضايي', '1403/01/02', '  :  ', "
         "'other day')");
    dialogs.messages.clear();
    ASSERT_EQ(dm->ADOQ_khodro.recordCount(), 1);
    const QString id = dm->ADOQ_khodro.fieldByName("id").asString();

    // It leaves at 17:30; Enter in the card number saves the edit in edit mode.
    clock.set(QDateTime(QDate(2024, 3, 20), QTime(17, 30)));
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_TRUE(ins->insButton()->isHidden());
        EXPECT_FALSE(ins->editButton()->isHidden());
        EXPECT_EQ(in("ranande"), "رضايي");
        EXPECT_EQ(in("num"), "12ب345");
        EXPECT_EQ(in("negahban2"), kGuard);
        EXPECT_EQ(in("cart_no"), "");
        clickLabel(ins.get(), "ساعت خروج");
        EXPECT_EQ(in("exit_tim"), "17:30");
        enter(ins->cart_no());
        EXPECT_EQ(dialogs.texts(), QStringList{kClose});
        EXPECT_TRUE(ins->isVisible()); // stays open after the question
    });
    EXPECT_EQ(scalar("select count(*) from khodro"), "1");
    EXPECT_EQ(scalar("select exit_tim||'|'||negahban2 from khodro where id=" + id),
              "17:30|" + kGuard);
    EXPECT_EQ(scalar("select exit_tim||'|'||cmt from prs where exit_dat='1403/01/01'"),
              "17:30|پرسنل با خودرو * خروج با خودرو");
    EXPECT_EQ(scalar("select exit_tim from prs where exit_dat='1403/01/02'"), ":");

    // No open row left: the edit closes the window at once.
    dialogs.messages.clear();
    whileModal(list->editAction(), ins.get(), [&] {
        ins->setText("cmt", "بازگشت");
        ins->editButton()->click();
        EXPECT_FALSE(ins->isVisible());
    });
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(scalar("select cmt from khodro where id=" + id), "بازگشت");
}

TEST_P(KhodroEntry, AnsweringNoLeavesThePersonnelRowOpenWhateverTheType) {
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, vorod_tim, khodro_typ) "
         "values ('حسيني', '55د555', '1403/01/01', '08:00', '    /  /  ', '  :  ', 'اداري')");
    exec("insert into prs (nam, exit_dat, exit_tim, cmt) values ('حسيني', '1403/01/01', '  :  ', "
         "'x')");
    list->search();
    dialogs.answers = {gc::ui::No};
    whileModal(list->editAction(), ins.get(), [&] {
        ins->setText("vorod_tim", "12:00");
        ins->editButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{kClose});
        EXPECT_TRUE(ins->isVisible());
    });
    EXPECT_EQ(scalar("select exit_tim||'|'||cmt from prs"), ":  |x");
    EXPECT_EQ(scalar("select vorod_tim from khodro"), "12:00");
}

// "No" keeps the window open on the edited row: each further change is written, one back
// to an earlier value included.
TEST_P(KhodroEntry, AfterNoEachFurtherEditIsStored) {
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, vorod_tim, cmt, "
         "khodro_typ) values ('حسيني', '55د555', '1403/01/01', '08:00', '    /  /  ', '  :  ', "
         "'صبح', 'اداري')");
    exec("insert into prs (nam, exit_dat, exit_tim, cmt) values ('حسيني', '1403/01/01', '  :  ', "
         "'x')");
    list->search();
    const QList<QPair<QString, QString>> steps = {
        {"بازگشت", "1200"}, {"صبح", "1230"}, {"بازگشت", "1200"}};
    whileModal(list->editAction(), ins.get(), [&] {
        for (const auto& [comment, time] : steps) {
            SCOPED_TRACE(comment.toStdString());
            dialogs.messages.clear();
            dialogs.answers = {gc::ui::No};
            type(ins->input("cmt"), comment);
            type(ins->input("vorod_tim"), time);
            ins->editButton()->click();
            EXPECT_EQ(dialogs.texts(), QStringList{kClose});
            EXPECT_TRUE(ins->isVisible());
            EXPECT_EQ(scalar("select cmt||'|'||vorod_tim from khodro"),
                      comment + "|" + time.left(2) + ":" + time.mid(2));
        }
        dialogs.messages.clear();
        QTest::keyClick(ins.get(), Qt::Key_Escape);
        EXPECT_FALSE(ins->isVisible());
        EXPECT_TRUE(dialogs.messages.isEmpty());
    });
    EXPECT_EQ(scalar("select count(*) from khodro"), "1");
    EXPECT_EQ(scalar("select exit_tim||'|'||cmt from prs"), ":  |x");
}

// After "No" the window stays open on the row: a return another workstation saved meanwhile
// is never written over with the blank time the window still shows; the comment, which it did
// not touch, is written each time.
TEST_P(KhodroEntry, AfterNoAReturnSavedElsewhereIsNeverOverwrittenUnseen) {
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, vorod_tim, cmt, "
         "khodro_typ) values ('حسيني', '55د555', '1403/01/01', '08:00', '    /  /  ', '  :  ', "
         "'صبح', 'اداري')");
    exec("insert into prs (nam, exit_dat, exit_tim, cmt) values ('حسيني', '1403/01/01', '  :  ', "
         "'x')");
    list->search();
    const qint64 id = scalar("select id from khodro").toLongLong();
    whileModal(list->editAction(), ins.get(), [&] {
        otherWorkstationSaves("khodro", id, {{"vorod_tim", "10:30"}});
        for (const QString comment : {"بازگشت", "صبح"}) {
            SCOPED_TRACE(comment.toStdString());
            dialogs.messages.clear();
            dialogs.answers = {gc::ui::No};
            type(ins->input("cmt"), comment);
            ins->editButton()->click();
            EXPECT_EQ(dialogs.texts(), QStringList{kClose});
            EXPECT_EQ(scalar("select cmt from khodro"), comment);
        }
        EXPECT_EQ(in("vorod_tim"), kBlankTime);
        dialogs.messages.clear();
        type(ins->input("vorod_tim"), "1200");
        ins->editButton()->click();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
        EXPECT_TRUE(dialogs.messages[0].text.contains("vorod_tim"));
        EXPECT_TRUE(ins->isVisible());
        EXPECT_EQ(in("vorod_tim"), "12:00");
    });
    EXPECT_EQ(scalar("select cmt||'|'||vorod_tim from khodro"), "صبح|10:30");
    EXPECT_EQ(scalar("select exit_tim||'|'||cmt from prs"), ":  |x");
}

// Emptying the driver and presetting the entry for the next car is the window's own work,
// not typing: closing asks only about what was typed after the save.
TEST_P(KhodroEntry, ClosingRightAfterASaveAsksNothingButAfterTypingAsks) {
    for (const QString& kind : {kOfficial, kPersonal}) {
        SCOPED_TRACE(kind.toStdString());
        for (const bool typeAfterSave : {false, true}) {
            dialogs.messages.clear();
            whileModal(list->insertAction(), ins.get(), [&] {
                pick(ins->khodro_typ(), kind);
                type(ins->ranande(), typeAfterSave ? "احمدي" : "رضايي");
                ins->insButton()->click();
                EXPECT_EQ(dialogs.texts(), QStringList{kind == kOfficial ? "ثبت شد" : kPersonnel});
                EXPECT_EQ(in("ranande"), "");
                if (typeAfterSave) {
                    type(ins->input("cmt"), "ب");
                    dialogs.answers = {gc::ui::No, gc::ui::Yes};
                    QTest::keyClick(ins.get(), Qt::Key_Escape);
                    EXPECT_TRUE(ins->isVisible());
                }
                QTest::keyClick(ins.get(), Qt::Key_Escape);
                EXPECT_FALSE(ins->isVisible());
            });
            EXPECT_EQ(dialogs.texts().count(kUnsaved), typeAfterSave ? 2 : 0);
        }
    }
}

TEST_P(KhodroEntry, EditSavesTheChosenRowAndSaysWhenItIsGone) {
    insertRows(*dm, sampleRows());
    list->search();
    gc::db::Query& q = dm->ADOQ_khodro;
    q.setRecNo(5);
    const QString chosen = q.fieldByName("id").asString();
    q.setRecNo(6);
    const QString other = q.fieldByName("id").asString();
    const QString otherCmt = scalar("select cmt from khodro where id=" + other);
    q.setRecNo(5);
    whileModal(list->editAction(), ins.get(), [&] {
        ins->setText("cmt", "برگشت");
        q.setRecNo(6); // the list moved meanwhile
        ins->editButton()->click();
    });
    EXPECT_EQ(scalar("select cmt from khodro where id=" + chosen), "برگشت");
    EXPECT_EQ(scalar("select cmt from khodro where id=" + other), otherCmt);
    EXPECT_EQ(scalar("select count(*) from khodro"), "60");

    // Deleted at another workstation before the save: said, and nothing is written.
    q.setRecNo(7);
    const QString gone = q.fieldByName("id").asString();
    whileModal(list->editAction(), ins.get(), [&] {
        exec("delete from khodro where id=" + gone);
        ins->setText("cmt", "نبايد ثبت شود");
        ins->editButton()->click();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
        EXPECT_TRUE(dialogs.messages[0].text.contains("ثبت نشد"));
        EXPECT_TRUE(ins->isVisible());
        EXPECT_EQ(in("cmt"), "نبايد ثبت شود");
    });
    EXPECT_EQ(scalar("select count(*) from khodro"), "59");
    EXPECT_EQ(scalar("select count(*) from khodro where cmt='نبايد ثبت شود'"), "0");
}

TEST_P(KhodroEntry, AStaleCommentEditKeepsAReturnSavedAtAnotherWorkstation) {
    insertRows(*dm, sampleRows());
    list->search();
    gc::db::Query& q = dm->ADOQ_khodro;
    q.setRecNo(3);
    const qint64 id = q.fieldByName("id").asInteger();
    const QString exitTime =
        scalar(QStringLiteral("select exit_tim from khodro where id=%1").arg(id));
    otherWorkstationSaves("khodro", id, {{"vorod_tim", "10:30"}, {"negahban2", "نگهبان دو"}});
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(in("negahban2"), kGuard);
        auto* cmt = ins->findChild<QLineEdit*>("cmt");
        cmt->setFocus();
        gctest::typeKeys(cmt, "x");
        ins->editButton()->click();
    });
    const auto saved = [&](const QString& column) {
        return scalar(QStringLiteral("select %1 from khodro where id=%2").arg(column).arg(id));
    };
    EXPECT_EQ(saved("vorod_tim"), "10:30");
    EXPECT_EQ(saved("negahban2"), "نگهبان دو");
    EXPECT_EQ(saved("exit_tim"), exitTime);
    EXPECT_TRUE(saved("cmt").endsWith("x"));

    // A return typed on a stale form over the other workstation's: refused, named.
    otherWorkstationSaves("khodro", id, {{"vorod_tim", "10:45"}});
    dialogs.messages.clear();
    whileModal(list->editAction(), ins.get(), [&] {
        ins->setText("vorod_tim", "11:00");
        ins->editButton()->click();
        ASSERT_FALSE(dialogs.messages.isEmpty());
        EXPECT_TRUE(dialogs.messages[0].text.contains("vorod_tim"));
        EXPECT_TRUE(ins->isVisible());
        EXPECT_EQ(in("vorod_tim"), "11:00");
    });
    EXPECT_EQ(saved("vorod_tim"), "10:45");
    EXPECT_EQ(saved("negahban2"), "نگهبان دو");
}

// The server process of this workstation stops (not closed) just before a save.
TEST_P(KhodroEntry, ASaveToAStoppedServerIsGivenUpAndKeepsWhatWasTyped) {
    if (GetParam() != gctest::Backend::PostgreSQL)
        GTEST_SKIP() << "the file database has no server";
    insertRows(*dm, sampleRows());
    list->search();
    QSqlQuery pidQuery(dm->ADOConnection1.database());
    ASSERT_TRUE(pidQuery.exec("select pg_backend_pid()") && pidQuery.next());
    const pid_t server = pid_t(pidQuery.value(0).toInt());
    const qint64 id = dm->ADOQ_khodro.fieldByName("id").asInteger();
    whileModal(list->editAction(), ins.get(), [&] {
        ins->setText("cmt", "در انتظار سرور");
        ASSERT_EQ(::kill(server, SIGSTOP), 0);
        QElapsedTimer waited;
        waited.start();
        ins->editButton()->click();
        const qint64 ms = waited.elapsed();
        ::kill(server, SIGCONT);
        EXPECT_LT(ms, 15000) << "the window stayed frozen";
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].text.contains("12 ثانيه"));
        EXPECT_TRUE(ins->isVisible());
        EXPECT_EQ(in("cmt"), "در انتظار سرور");
        // The next press opens the connection again and saves.
        ins->editButton()->click();
        EXPECT_FALSE(ins->isVisible());
    });
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select cmt from khodro where id=%1").arg(id)),
              "در انتظار سرور");
}

TEST_P(KhodroEntry, TheLinkRefusesWhatItCannotWriteAndWritesNothing) {
    namespace link = gc::registers::link;
    EXPECT_THROW(link::ClosePersonnelRow(*dm, 4242, "10:00"), gc::db::DbError);
    link::CarMovement car;
    car.driver = QString(120, QChar('x')); // wider than prs.nam
    car.entryDate = "1403/01/01";
    car.exitTime = kBlankTime; // a personal car arrives, not yet gone
    EXPECT_THROW(link::AddPersonnelRowForCar(*dm, car), gc::db::DbError);
    EXPECT_EQ(dm->ADOQ_prs.state(), gc::db::Query::State::Browse);
    EXPECT_EQ(scalar("select count(*) from prs"), "0");
    car.driver = "رضايي";
    EXPECT_TRUE(link::AddPersonnelRowForCar(*dm, car));
    EXPECT_FALSE(link::AddPersonnelRowForCar(*dm, car));
    EXPECT_EQ(scalar("select count(*) from prs"), "1");
}

// A type typed in, key by key as the guard types: its first letter is a change of type, which
// moves the focus to the card number, where the rest of the word lands.
TEST_P(KhodroEntry, ATypeTypedInMovesOnAfterItsFirstLetter) {
    whileModal(list->insertAction(), ins.get(), [&] {
        QApplication::setActiveWindow(ins.get());
        ins->khodro_typ()->setFocus();
        QApplication::processEvents();
        for (const QChar c : QString::fromUtf8("وانت")) {
            gctest::typeKeys(QApplication::focusWidget(), QString(c));
            QApplication::processEvents();
        }
        EXPECT_EQ(ins->khodro_typ()->currentText(), QString::fromUtf8("و"));
        EXPECT_EQ(QApplication::focusWidget(), ins->cart_no());
        EXPECT_EQ(ins->cart_no()->text(), QString::fromUtf8("انت"));
        EXPECT_TRUE(items(ins->ranande()).isEmpty());
    });
}

TEST_P(KhodroEntry, FocusColoursLabelsAndTheEnterChain) {
    whileModal(list->insertAction(), ins.get(), [&] {
        QApplication::setActiveWindow(ins.get());
        ins->khodro_typ()->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(ins->khodro_typ()->palette().color(QPalette::Base), QColor(Qt::yellow));
        enter(ins->khodro_typ()->lineEdit());
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), ins->cart_no());
        EXPECT_EQ(ins->cart_no()->palette().color(QPalette::Base), QColor(Qt::yellow));
        EXPECT_NE(ins->khodro_typ()->palette().color(QPalette::Base), QColor(Qt::yellow));
        for (const char* name : {"num", "vorod_dat", "cmt"}) {
            ins->input(name)->setFocus();
            QApplication::processEvents();
            EXPECT_EQ(ins->input(name)->palette().color(QPalette::Base), QColor(Qt::yellow))
                << name;
        }
        // Today, now and the blank mask from the labels.
        clickLabel(ins.get(), "- - -", 2); // beside vorod_dat
        EXPECT_EQ(in("vorod_dat"), kBlankDate);
        clickLabel(ins.get(), "تاريخ ورود");
        EXPECT_EQ(in("vorod_dat"), "1403/01/01");
        clickLabel(ins.get(), "ساعت ورود");
        EXPECT_EQ(in("vorod_tim"), "13:05");
        clickLabel(ins.get(), "- - -", 3);
        EXPECT_EQ(in("vorod_tim"), kBlankTime);
    });
}

TEST_P(KhodroEntry, ImpossibleDatesAndTimesAreRefusedByFieldAndTheBlanksAreKept) {
    whileModal(list->insertAction(), ins.get(), [&] {
        pick(ins->khodro_typ(), kOfficial);
        pick(ins->ranande(), "حسيني");
        // Typed key by key: the mask skips its own separators.
        const QList<QPair<QString, QString>> dates = {
            {"14041230", "1404/12/30"}, {"14030731", "1403/07/31"}, {"14031301", "1403/13/01"},
            {"14030010", "1403/00/10"}, {"14030100", "1403/01/00"}, {"14", "14  /  /  "}};
        for (const auto& [keys, shown] : dates) {
            dialogs.messages.clear();
            type(ins->input("exit_dat"), keys);
            ins->insButton()->click();
            ASSERT_EQ(dialogs.texts(), QStringList{gc::BadDateMessage("تاريخ خروج", shown)});
            EXPECT_EQ(in("exit_dat"), shown); // kept as typed, to be mended
            EXPECT_EQ(ins->focusWidget(), ins->input("exit_dat"));
        }
        type(ins->input("exit_dat"), "14031230"); // 1403 is a leap year
        for (const auto& [keys, shown] : QList<QPair<QString, QString>>{
                 {"2400", "24:00"}, {"2561", "25:61"}, {"9999", "99:99"}, {"7", "7 :  "}}) {
            dialogs.messages.clear();
            type(ins->input("vorod_tim"), keys);
            ins->insButton()->click();
            ASSERT_EQ(dialogs.texts(), QStringList{gc::BadTimeMessage("ساعت ورود", shown)});
        }
        EXPECT_EQ(scalar("select count(*) from khodro"), "0");

        // The blanks mean "not recorded yet" and are saved as they stand.
        dialogs.messages.clear();
        for (const char* name : {"exit_tim", "vorod_dat", "vorod_tim"})
            ins->setText(name, {});
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{"ثبت شد"});
    });
    // Spaces shown as "_": the command-line client trims them.
    EXPECT_EQ(scalar("select replace(exit_dat||'|'||exit_tim||'|'||vorod_dat||'|'||vorod_tim, "
                     "' ', '_') from khodro"),
              "1403/12/30|__:__|____/__/__|__:__");

    // The edit is checked the same way, and the stored row is left as it was.
    list->search();
    whileModal(list->editAction(), ins.get(), [&] {
        dialogs.messages.clear();
        type(ins->input("vorod_tim"), "2360");
        ins->editButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{gc::BadTimeMessage("ساعت ورود", "23:60")});
        EXPECT_TRUE(ins->isVisible());
    });
    EXPECT_EQ(scalar("select replace(vorod_tim, ' ', '_') from khodro"), "__:__");
}

INSTANTIATE_TEST_SUITE_P(Engines, KhodroEntry,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         engineName);
