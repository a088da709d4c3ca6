#include "core/stamp_text.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "register_harness.h"
#include "registers/prs/prs.h"
#include "registers/prs/prs_list.h"
#include "registers/prs/prs_print.h"
#include "registers/shared/mask_inputs.h"
#include "report/pdf_tools.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using gc::db::quoted;
using gc::registers::kBlankDate;
using gc::registers::kBlankTime;
using namespace gctest;
namespace pdf = gc::report::pdf;

namespace {

const QString kDuplicate = QStringLiteral(
    "اين نام خانوادگي و شماره كارت در اين تاريخ تكراري است، آيا مي خواهيد ادامه دهيد؟");
const QString kCarQuestion =
    QStringLiteral("پرسنل ثبت شد.  آيا مي خواهيد نام خودرو در بخش خودرو نيز ثبت گردد؟");
const QString kCloseQuestion =
    QStringLiteral("ويرايش انجام شد.  آيا مي خواهيد خودرو اين فرد نيز خروج بخورد؟");
const QString kCarStillOut =
    QStringLiteral("فقط شخص خروج خورد، درحاليكه خودرو وي هنوز خروج نخورده است");

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QByteArray jpeg(Qt::GlobalColor colour) {
    QImage image(12, 12, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

class Prs : public RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        ins = std::make_unique<gc::registers::Tprs>(*ctx);
        list = std::make_unique<gc::registers::Tprs_list>(*ctx, *ins);
        print = std::make_unique<gc::registers::Tprs_print>(*list);
        addPreset("علل خروج", "ماموريت", true);
        addPreset("سمت", "كارمند");
        list->prepare();
    }
    void TearDown() override {
        print.reset();
        list.reset();
        ins.reset();
    }
    QString addPerson(const QString& surname, const QString& card, const QString& plate,
                      const QString& unit, const QString& mobile = {}) {
        exec("insert into asami (surname, card_no, khodro_num, vahed_tabe, mobile) values (" +
             quoted(surname) + ", " + quoted(card) + ", " + quoted(plate) + ", " + quoted(unit) +
             ", " + quoted(mobile) + ")");
        return scalar("select max(id) from asami");
    }
    void addPicture(const QString& personId, const QByteArray& bytes) {
        gc::db::Query& q = dm->ADOQuery1;
        q.close();
        q.sql().clear();
        q.sql().add("select * from per_pic where id=-1");
        q.open();
        q.append();
        q.fieldByName("per_id").setAsString(personId);
        q.fieldByName("ext").setAsString(".jpg");
        q.fieldByName("pic").setBytes(bytes);
        q.post();
    }
    void addPrs(const QString& card, const QString& surname, const QString& day,
                const QString& exitTime, const QString& entryTime, const QString& comment) {
        exec("insert into prs (cart_no, nam, exit_dat, exit_tim, vorod_tim, cmt) values (" +
             quoted(card) + ", " + quoted(surname) + ", " + quoted(day) + ", " + quoted(exitTime) +
             ", " + quoted(entryTime) + ", " + quoted(comment) + ")");
    }
    QString in(const QString& name) const { return ins->text(name); }
    bool hasPicture() const { return !ins->Image1()->pixmap().isNull(); }
    QStringList column(const QString& name) {
        QStringList out;
        gc::db::Query& q = dm->ADOQ_prs;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(name).asString();
        return out;
    }

    std::unique_ptr<gc::registers::Tprs> ins;
    std::unique_ptr<gc::registers::Tprs_list> list;
    std::unique_ptr<gc::registers::Tprs_print> print;
};

TEST_P(Prs, NewRecordByCardAddsThePrivateCarOnceAndAsksAboutDuplicates) {
    addPerson("رضايي", "1001", "12ب345", "مالي", "0912");
    whileModal(list->insertAction(), ins.get(), [&] {
        EXPECT_EQ(in("exit_dat"), "1403/01/01");
        EXPECT_EQ(in("negahban1"), kGuard);
        EXPECT_EQ(in("elat"), "ماموريت");
        EXPECT_EQ(ins->khodro_num()->text(), " *** ");
        EXPECT_EQ(items(ins->cart_no()), QStringList{"1001"});
        type(ins->cart_no(), "1001");
        EXPECT_EQ(in("nam"), "رضايي");
        EXPECT_EQ(in("semat"), "مالي");
        EXPECT_EQ(ins->khodro_num()->text(), "12ب345");
        EXPECT_EQ(ins->mobile()->text(), "0912");
        clickLabel(ins.get(), "ساعت خروج");
        ins->insButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{kCarQuestion});
        EXPECT_TRUE(ins->isVisible()); // stays open for the next person

        // The same person again that day: Yes to both questions adds no second car.
        ins->insButton()->click();
        // Declined duplicate: nothing saved.
        dialogs.answers = {gc::ui::No};
        ins->insButton()->click();
    });
    EXPECT_EQ(dialogs.texts(), (QStringList{kCarQuestion, kDuplicate, kCarQuestion, kDuplicate}));
    EXPECT_EQ(scalar("select count(*) from prs"), "2");
    EXPECT_EQ(scalar("select cart_no || '|' || nam || '|' || semat || '|' || exit_tim || '|' || "
                     "exit_dat || '|' || vorod_tim || '|' || negahban1 from prs where id=(select "
                     "min(id) from prs)"),
              "1001|رضايي|مالي|13:05|1403/01/01|" + kBlankTime + "|" + kGuard);
    EXPECT_EQ(scalar("select count(*) from khodro"), "1");
    EXPECT_EQ(scalar("select ranande || '|' || num || '|' || exit_dat || '|' || exit_tim || '|' "
                     "|| vorod_dat || '|' || cmt || '|' || khodro_typ from khodro"),
              "رضايي|12ب345|" + kBlankDate + "|13:05|1403/01/01|خودرو با پرسنل|شخصي");
    EXPECT_EQ(list->grid()->model()->rowCount(), 2); // shown without a new search
}

TEST_P(Prs, PersonWithoutPlateStillGetsACarRowWithEmptyPlate) {
    addPerson("نوري", "3003", "", "فني");
    whileModal(list->insertAction(), ins.get(), [&] {
        type(ins->nam(), "نوري");
        EXPECT_EQ(in("cart_no"), "3003");
        ins->insButton()->click();
    });
    EXPECT_EQ(scalar("select count(*) from khodro where num='' and ranande='نوري'"), "1");
}

TEST_P(Prs, NamesakesOfferTheirCardsAndThePickFillsTheRest) {
    addPerson("احمدي", "1", "11الف111", "اداري");
    addPerson("احمدي", "2", "22ب222", "فني");
    addPerson("احمدي", "3", "33ج333", "مالي");
    whileModal(list->insertAction(), ins.get(), [&] {
        type(ins->nam(), "احمدي");
        EXPECT_EQ(items(ins->cart_no()), (QStringList{"1", "2", "3"}));
        EXPECT_EQ(in("cart_no"), "");
        EXPECT_EQ(in("semat"), "");
        EXPECT_EQ(ins->khodro_num()->text(), " *** ");
        EXPECT_EQ(ins->mobile()->text(), " *** ");
        pick(ins->cart_no(), "2");
        EXPECT_EQ(in("semat"), "فني");
        EXPECT_EQ(ins->khodro_num()->text(), "22ب222");
    });
}

TEST_P(Prs, PhotographIsTheLookedUpPersonsAndOpensFromAFileOfItsOwn) {
    const QString withPicture = addPerson("رضايي", "1001", "", "مالي");
    const QString notJpeg = addPerson("كريمي", "2002", "", "فني");
    const QByteArray bytes = jpeg(Qt::red);
    addPicture(withPicture, bytes);
    addPicture(notJpeg, "not a picture");
    whileModal(list->insertAction(), ins.get(), [&] {
        type(ins->cart_no(), "2002");
        EXPECT_FALSE(hasPicture());
        QTest::mouseClick(ins->Image1(), Qt::LeftButton);
        EXPECT_TRUE(opener.opened.isEmpty()); // no picture, no file

        type(ins->cart_no(), "1001");
        EXPECT_TRUE(hasPicture());
        // The save runs other queries; the photograph stays that person's.
        dialogs.answers = {gc::ui::No};
        ins->insButton()->click();
        ins->CheckBox1()->click();
        EXPECT_FALSE(hasPicture());
        ins->CheckBox1()->click();
        EXPECT_TRUE(hasPicture());

        QTest::mouseClick(ins->Image1(), Qt::LeftButton);
        ASSERT_EQ(opener.opened.size(), 1);
        QFile file(opener.opened.front());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);
        EXPECT_TRUE(opener.opened.front().endsWith(".jpg"));
        EXPECT_FALSE(opener.opened.front().contains("Pelzorvatin"));
    });
}

TEST_P(Prs, ACardTypedKeyByKeyIsSavedWithItsOwnPersonNotACompletedOne) {
    // Namesakes whose cards share a beginning: typing "10" must not end as "1001".
    addPicture(addPerson("احمدي", "1001", "", "مالي"), jpeg(Qt::red));
    addPerson("احمدي", "10", "", "فني");
    whileModal(list->insertAction(), ins.get(), [&] {
        type(ins->cart_no(), "10");
        EXPECT_EQ(ins->cart_no()->currentText(), "10");
        EXPECT_EQ(in("semat"), "فني");
        EXPECT_FALSE(hasPicture());
        dialogs.answers = {gc::ui::No};
        ins->insButton()->click();

        type(ins->cart_no(), "1001");
        EXPECT_EQ(in("semat"), "مالي");
        EXPECT_TRUE(hasPicture());
    });
    EXPECT_EQ(scalar("select cart_no || '|' || nam || '|' || semat from prs"), "10|احمدي|فني");
}

TEST_P(Prs, EditClosesThePersonsOpenCarOnYes) {
    addPerson("رضايي", "1001", "12ب345", "مالي");
    addPrs("1001", "رضايي", "1403/01/01", kBlankTime, kBlankTime, "");
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, cmt, khodro_typ) "
         "values ('رضايي', '12ب345', " +
         quoted(kBlankDate) + ", " + quoted(kBlankTime) + ", '1403/01/01', 'صبح', 'شخصي')");
    list->search();
    whileModal(list->editAction(), ins.get(), [&] {
        EXPECT_EQ(in("negahban2"), kGuard);
        EXPECT_EQ(ins->khodro_num()->text(), "12ب345");
        ins->setText("exit_tim", "16:40");
        ins->editButton()->click();
        EXPECT_TRUE(ins->isVisible());
    });
    EXPECT_EQ(dialogs.texts(), QStringList{kCloseQuestion});
    EXPECT_EQ(scalar("select exit_tim || '|' || negahban2 from prs"), "16:40|" + kGuard);
    EXPECT_EQ(scalar("select exit_dat || '|' || exit_tim || '|' || cmt from khodro"),
              "1403/01/01|16:40|صبح * خروج با پرسنل");
}

TEST_P(Prs, EditWithCarLeftOutSaysSoAndWithoutCarCloses) {
    addPerson("رضايي", "1001", "12ب345", "مالي");
    addPrs("1001", "رضايي", "1403/01/01", kBlankTime, kBlankTime, "");
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, khodro_typ) values "
         "('رضايي', '12ب345', " +
         quoted(kBlankDate) + ", " + quoted(kBlankTime) + ", '1403/01/01', 'شخصي')");
    list->search();
    dialogs.answers = {gc::ui::No};
    whileModal(list->editAction(), ins.get(), [&] {
        ins->editButton()->click();
        EXPECT_TRUE(ins->isVisible());
    });
    EXPECT_EQ(dialogs.texts(), (QStringList{kCloseQuestion, kCarStillOut}));
    EXPECT_EQ(scalar("select '[' || exit_tim || ']' from khodro"), "[" + kBlankTime + "]");

    exec("delete from khodro");
    whileModal(list->editAction(), ins.get(), [&] {
        ins->setText("vorod_tim", "08:00");
        ins->editButton()->click();
        EXPECT_FALSE(ins->isVisible());
    });
    EXPECT_EQ(scalar("select vorod_tim from prs"), "08:00");
}

// The car question answered "No" keeps the window open: each further edit is written.
TEST_P(Prs, AfterNoEachFurtherEditIsStored) {
    addPerson("رضايي", "1001", "12ب345", "مالي");
    addPrs("1001", "رضايي", "1403/01/01", "07:30", "07:45", "");
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, khodro_typ) values "
         "('رضايي', '12ب345', " +
         quoted(kBlankDate) + ", " + quoted(kBlankTime) + ", '1403/01/01', 'شخصي')");
    list->search();
    whileModal(list->editAction(), ins.get(), [&] {
        for (const QString time : {"0800", "0745", "0800"}) {
            SCOPED_TRACE(time.toStdString());
            dialogs.messages.clear();
            dialogs.answers = {gc::ui::No};
            type(ins->input("vorod_tim"), time);
            ins->editButton()->click();
            EXPECT_EQ(dialogs.texts(), (QStringList{kCloseQuestion, kCarStillOut}));
            EXPECT_TRUE(ins->isVisible());
            EXPECT_EQ(scalar("select vorod_tim from prs"), time.left(2) + ":" + time.mid(2));
        }
        dialogs.messages.clear();
        QTest::keyClick(ins.get(), Qt::Key_Escape);
        EXPECT_FALSE(ins->isVisible());
        EXPECT_TRUE(dialogs.messages.isEmpty());
    });
    EXPECT_EQ(scalar("select count(*) from prs"), "1");
    EXPECT_EQ(scalar("select exit_tim || '|' || negahban2 from prs"), "07:30|" + kGuard);
}

// After "No" the window stays open on the row: a return another workstation saved meanwhile
// is never written over unseen; the comment, which it did not touch, is written each time.
TEST_P(Prs, AfterNoAReturnSavedElsewhereIsNeverOverwrittenUnseen) {
    addPerson("رضايي", "1001", "12ب345", "مالي");
    addPrs("1001", "رضايي", "1403/01/01", "07:30", kBlankTime, "");
    exec("insert into khodro (ranande, num, exit_dat, exit_tim, vorod_dat, khodro_typ) values "
         "('رضايي', '12ب345', " +
         quoted(kBlankDate) + ", " + quoted(kBlankTime) + ", '1403/01/01', 'شخصي')");
    list->search();
    const qint64 id = scalar("select id from prs").toLongLong();
    whileModal(list->editAction(), ins.get(), [&] {
        otherWorkstationSaves("prs", id, {{"vorod_tim", "08:15"}});
        for (const QString comment : {"ماموريت", "جلسه"}) {
            SCOPED_TRACE(comment.toStdString());
            dialogs.messages.clear();
            dialogs.answers = {gc::ui::No};
            type(ins->input("cmt"), comment);
            ins->editButton()->click();
            EXPECT_EQ(dialogs.texts(), (QStringList{kCloseQuestion, kCarStillOut}));
            EXPECT_EQ(scalar("select cmt from prs"), comment);
        }
        EXPECT_EQ(in("vorod_tim"), kBlankTime);
        dialogs.messages.clear();
        type(ins->input("vorod_tim"), "0800");
        ins->editButton()->click();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].icon, gc::ui::MsgIcon::Error);
        EXPECT_TRUE(dialogs.messages[0].text.contains("vorod_tim"));
        EXPECT_TRUE(ins->isVisible());
    });
    EXPECT_EQ(scalar("select cmt || '|' || vorod_tim from prs"), "جلسه|08:15");
    EXPECT_EQ(scalar("select count(*) from prs"), "1");
}

TEST_P(Prs, SearchFiltersOrderAndCount) {
    addPrs("1", "الف", "1403/01/01", "10:00", "12:00", "پرسنل با خودرو");
    addPrs("2", "ب", "1403/01/02", kBlankTime, kBlankTime, "مرخصي");
    addPrs("3", "پ", "1403/01/02", "09:00", "15:00", "");
    addPrs("4", "ت", "1403/01/03", "11:00", "13:00", "خودرو");
    list->CheckBox(3)->setChecked(false);
    ASSERT_TRUE(list->search());
    EXPECT_EQ(column("cart_no"), (QStringList{"4", "3", "2", "1"}));
    EXPECT_EQ(list->countLabel()->text(), "4");

    list->CheckBox(7)->setChecked(true);
    list->cmt()->setEditText("بدون خودرو");
    list->search();
    EXPECT_EQ(column("cart_no"), (QStringList{"3", "2"}));
    list->cmt()->setEditText("پرسنل با خودرو");
    list->search();
    EXPECT_EQ(column("cart_no"), QStringList{"1"});
    list->CheckBox(7)->setChecked(false);

    // ">" keeps times up to the value, blanks included; "<" from the value on.
    list->CheckBox(6)->setChecked(true);
    list->exit_tim()->setText("10:00");
    list->tim2()->setCurrentIndex(2);
    list->search();
    EXPECT_EQ(column("cart_no"), (QStringList{"3", "2", "1"}));
    list->tim2()->setCurrentIndex(0);
    list->search();
    EXPECT_EQ(column("cart_no"), (QStringList{"4", "1"}));
    EXPECT_EQ(list->countLabel()->text(), "2");
    list->tim2()->setEditText("<"); // typed, not picked: no condition
    list->tim2()->setCurrentIndex(-1);
    list->tim2()->setEditText("<");
    list->search();
    EXPECT_EQ(column("cart_no").size(), 4);
}

TEST_P(Prs, ImpossibleFilterTimesAreRefusedAndTheBlankFindsThoseNotBack) {
    exec("insert into prs (cart_no, nam, exit_dat, exit_tim, vorod_tim) values "
         "('1', 'الف', '1403/01/01', '  :  ', '08:00'), ('2', 'ب', '1403/01/01', '12:00', "
         "'08:00')");
    list->CheckBox(3)->setChecked(false);
    list->CheckBox(6)->setChecked(true);
    list->tim2()->setCurrentIndex(1); // "="
    for (const auto& [keys, shown] : std::vector<std::pair<QString, QString>>{
             {"2400", "24:00"}, {"2561", "25:61"}, {"9999", "99:99"}, {"7", "7 :  "}}) {
        dialogs.messages.clear();
        type(list->exit_tim(), keys);
        list->searchButton()->click();
        EXPECT_EQ(dialogs.texts(), QStringList{gc::BadTimeMessage("زمان خروج", shown)});
        EXPECT_EQ(list->focusWidget(), list->exit_tim());
    }
    dialogs.messages.clear();
    list->exit_tim()->clearToBlank();
    list->searchButton()->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(column("cart_no"), QStringList{"1"});
    type(list->exit_tim(), "2359");
    list->searchButton()->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(list->countLabel()->text(), "0");
}

TEST_P(Prs, WrongDeletePasswordDeletesNothing) {
    addPreset("رمز حذف", "secret");
    addPrs("1", "الف", "1403/01/01", "10:00", "12:00", "");
    list->search();
    dialogs.inputs = {QStringLiteral("wrong")};
    list->deleteAction()->trigger();
    EXPECT_EQ(scalar("select count(*) from prs"), "1");
    EXPECT_TRUE(dialogs.texts().isEmpty());
    dialogs.inputs = {QStringLiteral("secret")};
    list->deleteAction()->trigger();
    EXPECT_EQ(scalar("select count(*) from prs"), "0");
    EXPECT_EQ(dialogs.texts(), QStringList{"حذف شد"});
}

TEST_P(Prs, PrintIsA4LandscapeOfTheListedRows) {
    addPrs("7788", "الف", "1403/01/01", "10:00", "12:00", "");
    list->search();
    list->command(gc::registers::RegisterList::Command::Print)->trigger();
    ASSERT_TRUE(printUi.result.ok()) << printUi.result.error.toStdString();
    const QString path = printUi.path();
    EXPECT_TRUE(pdf::pageSize(path).startsWith("842 x 595"));
    const QString page = pdf::text(path, 1);
    EXPECT_TRUE(page.contains("تردد پرسنل"));
    EXPECT_TRUE(page.contains("نگهبان ورود"));
    EXPECT_TRUE(page.contains("7788"));
}

INSTANTIATE_TEST_SUITE_P(Engines, Prs, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         engineName);

} // namespace
