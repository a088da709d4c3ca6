#include "app/payam_otagh_pages.h"
#include "core/data_module.h"
#include "core/messages.h"
#include "core/unread_messages.h"
#include "platform/ui/query_grid.h"
#include "support/clicking.h"
#include "windows/messages/payam_window.h"
#include "windows/messages_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace gc;

namespace {

const QString kSent = QString::fromUtf8("ارسال انجام شد");
const QString kAdminOnly = QString::fromUtf8("حذف فقط توسط مدير سيستم قابل انجام است");

class Payam : public gctest::ServicesTest {
  protected:
    void SetUp() override {
        ServicesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ali = addUser("ali");
        reza = addUser("reza");
        admin = scalar("select id from users where us='admin'").toString();
        window = std::make_unique<Tpayam>(*dm, *services);
    }
    void open(const QString& user) {
        logIn(user);
        window->prepare();
        window->FormShow();
    }
    void tick(const QStringList& names) {
        for (int i = 0; i < window->prs_list->count(); ++i) {
            QListWidgetItem* item = window->prs_list->item(i);
            item->setCheckState(names.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
        }
    }
    void send(const QStringList& to, const QString& subject, const QString& text) {
        tick(to);
        window->mozo->setEditText(subject);
        window->cmt->setPlainText(text);
        window->BitBtn1Click();
    }
    int count(const QString& where = "1=1") {
        return scalar("select count(*) from payamha where " + where).toInt();
    }
    QStringList listed(const char* field) {
        QStringList out;
        db::Query& q = dm->ADOQ_payam;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(field).asString();
        return out;
    }

    QString ali, reza, admin;
    std::unique_ptr<Tpayam> window;
};

} // namespace

TEST_P(Payam, ShowingListsEveryUserUntickedAndTheSubjects) {
    ASSERT_TRUE(raw(QString::fromUtf8("insert into setting (component, cmt, def) values "
                                      "('موضوع پيام', 'جلسه', '')")));
    open("ali");
    EXPECT_EQ(window->prs_list->count(), 3);
    for (int i = 0; i < window->prs_list->count(); ++i)
        EXPECT_EQ(window->prs_list->item(i)->checkState(), Qt::Unchecked);
    EXPECT_EQ(window->mozo->findText(QString::fromUtf8("جلسه")), 0);
    EXPECT_FALSE(window->girande->isEnabled());
}

TEST_P(Payam, SendsCodePageBytesToEveryTickedUserIncludingOneself) {
    open("ali");
    // Persian yeh and digits are stored as the code page has them.
    send({"ali", "reza"}, QString::fromUtf8("سلام"), QString::fromUtf8("سلام ی ۱۲"));
    EXPECT_EQ(dialogs.texts(), QStringList{kSent});
    ASSERT_EQ(count(), 2);
    QSqlQuery q(dm->ADOConnection1.database());
    ASSERT_TRUE(q.exec(
        "select cmt, send_dat, show_dat, send_prs_id from payamha where rec_prs_id=" + reza));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toByteArray(), QByteArray("\xD3\xE1\xC7\xE3 \xED 12"));
    EXPECT_EQ(q.value(1).toString(), "1403/01/01");
    EXPECT_EQ(q.value(2).toString(), "");
    EXPECT_EQ(q.value(3).toString(), ali);

    // The own message shows in the list with its text, and the poll counts it.
    EXPECT_EQ(listed("ferestande"), QStringList{"ali"});
    dm->ADOQ_payam.first();
    EXPECT_EQ(window->DBMemo1->toPlainText(), QString::fromUtf8("سلام ي 12"));
    EXPECT_EQ(CountUnreadMessages(*dm, ali), 1);
}

TEST_P(Payam, SameSubjectToTheSameUserOnOneDayIsStoredOnce) {
    open("ali");
    send({"reza"}, "a", "first");
    send({"reza"}, "a", "other text");
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(dialogs.texts().size(), 2);
    EXPECT_TRUE(dialogs.texts().last().contains("reza"));
    EXPECT_NE(dialogs.texts().last(), kSent);

    send({"reza"}, "b", "other text");
    EXPECT_EQ(count(), 2);
    clock->setDate(QDate(2024, 3, 21));
    send({"reza"}, "a", "first");
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(count("send_dat='1403/01/02'"), 1);
}

TEST_P(Payam, EmptySubjectAndTextAreSentAndReadBackEmpty) {
    open("ali");
    send({"reza"}, "", "");
    EXPECT_EQ(dialogs.texts(), QStringList{kSent});
    open("reza");
    dm->ADOQ_payam.first();
    EXPECT_EQ(window->DBMemo1->toPlainText(), "");
    EXPECT_EQ(listed("mozo"), QStringList{""});
}

TEST_P(Payam, NothingTickedIsNotReportedAsSent) {
    open("ali");
    send({}, "a", "text");
    EXPECT_EQ(count(), 0);
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_NE(dialogs.texts().first(), kSent);
}

TEST_P(Payam, UnstorableTextIsRefusedBeforeAnythingIsSent) {
    open("ali");
    send({"ali", "reza"}, "a", QString::fromUtf8("سلام 你好"));
    EXPECT_EQ(count(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.first().icon, ui::MsgIcon::Error);
    EXPECT_EQ(window->cmt->toPlainText(), QString::fromUtf8("سلام 你好"));

    // A subject too long for its column stores nothing and is no success either.
    send({"ali", "reza"}, QString(101, 'x'), "text");
    EXPECT_EQ(count(), 0);
    EXPECT_FALSE(dialogs.texts().contains(kSent));
}

TEST_P(Payam, ARecipientDeletedMeanwhileIsNamedAndTheOthersReceive) {
    open("ali");
    ASSERT_TRUE(raw("delete from users where us='reza'"));
    send({"ali", "reza"}, "a", "t");
    EXPECT_EQ(count(), 1);
    ASSERT_EQ(dialogs.texts().size(), 2);
    EXPECT_EQ(dialogs.texts().first(), kSent);
    EXPECT_TRUE(dialogs.texts().last().contains("reza"));
}

TEST_P(Payam, UsersSeeTheirOwnNewestFirstAndTheAdministratorSeesAll) {
    open("ali");
    send({"reza"}, "old", "");
    clock->setDate(QDate(2024, 3, 25));
    send({"reza", "admin"}, "new", "");
    open("reza");
    EXPECT_EQ(listed("mozo"), (QStringList{"new", "old"}));
    open("admin");
    EXPECT_EQ(listed("mozo").size(), 3);
    EXPECT_TRUE(window->girande->isEnabled());

    // The administrator narrows the list to one recipient and back.
    window->girande->setCurrentIndex(window->girande->findText("admin"));
    window->girandeChange();
    EXPECT_EQ(listed("mozo"), QStringList{"new"});
    window->girande->setCurrentIndex(0);
    window->girandeChange();
    EXPECT_EQ(listed("mozo").size(), 3);

    // A deleted sender shows no name.
    ASSERT_TRUE(raw("delete from users where us='ali'"));
    window->prepare();
    EXPECT_EQ(listed("ferestande"), (QStringList{"", "", ""}));
}

TEST_P(Payam, MarkingReadDatesTheCurrentRowOnlyAndSilencesThePoll) {
    open("ali");
    send({"reza"}, "a", "");
    send({"reza"}, "b", "");
    open("reza");
    EXPECT_EQ(CountUnreadMessages(*dm, reza), 2);
    ASSERT_TRUE(dm->ADOQ_payam.locate("mozo", "a"));
    window->DBGrid1->selectAll();
    clock->setDate(QDate(2024, 3, 22));
    window->N1Click();
    EXPECT_EQ(scalar("select show_dat from payamha where mozo='a'").toString(), "1403/01/03");
    EXPECT_EQ(CountUnreadMessages(*dm, reza), 1);

    // The administrator marks a message read for its recipient.
    open("admin");
    ASSERT_TRUE(dm->ADOQ_payam.locate("mozo", "b"));
    window->N1Click();
    EXPECT_EQ(CountUnreadMessages(*dm, reza), 0);
}

TEST_P(Payam, OnlyTheAdministratorDeletesAndOnlyTheCurrentRow) {
    open("ali");
    send({"reza"}, "a", "");
    send({"reza"}, "b", "");
    dialogs.messages.clear();
    open("reza");
    dm->ADOQ_payam.first();
    window->N3Click();
    EXPECT_EQ(dialogs.texts(), QStringList{kAdminOnly});
    EXPECT_EQ(count(), 2);

    open("admin");
    ASSERT_TRUE(dm->ADOQ_payam.locate("mozo", "a"));
    window->DBGrid1->selectAll();
    window->N3Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("حذف شد"));
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(count("mozo='b'"), 1);
    EXPECT_EQ(listed("mozo"), QStringList{"b"});
}

TEST_P(Payam, CommandsOnAnEmptyListDoNothing) {
    open("admin");
    window->N1Click();
    window->N3Click();
    window->N2Click();
    window->N4Click();
    window->N5Click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_P(Payam, AdministratorDeletesTheReadOrTheSelectedAfterAsking) {
    open("ali");
    for (const char* subject : {"a", "b", "c", "d"})
        send({"reza"}, subject, "");
    ASSERT_TRUE(raw("update payamha set show_dat='1403/01/01' where mozo in ('a','b')"));
    open("reza");
    window->N4Click();
    window->N5Click();
    EXPECT_EQ(count(), 4);

    open("admin");
    dialogs.answers = {ui::No};
    window->N4Click();
    EXPECT_EQ(count(), 4);
    window->N4Click();
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(count("show_dat=''"), 2);

    window->DBGrid1->selectAll();
    window->N5Click();
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(listed("mozo").isEmpty());
}

TEST_P(Payam, TheGroupBoxTicksEveryRecipient) {
    open("ali");
    window->CheckBox1->setChecked(true);
    window->CheckBox1Click();
    window->mozo->setEditText("all");
    window->BitBtn1Click();
    EXPECT_EQ(count(), 3);
}

TEST_P(Payam, RecipientItemNamesTheRecipient) {
    open("ali");
    send({"reza"}, "a", "");
    open("admin");
    dm->ADOQ_payam.first();
    window->N2Click();
    EXPECT_TRUE(dialogs.texts().last().endsWith("reza"));
}

TEST_P(Payam, PageOpensWithClearedInputsAndSwitchesNothing) {
    PayamPage page(*window);
    EXPECT_TRUE(page.commands().insert.isEmpty());
    logIn("ali");
    window->mozo->setEditText("x");
    window->cmt->setPlainText("y");
    CurrentPersianDate date(*clock);
    page.prepare(PageContext(QSize(800, 600), date));
    EXPECT_EQ(window->mozo->currentText(), "");
    EXPECT_EQ(window->cmt->toPlainText(), "");
    EXPECT_TRUE(dm->ADOQ_payam.isActive());
}

// The ticked users are the recipients, under their own caption; the drop-down above the
// received list only narrows that list. A Persian text reads from the right edge.
TEST_P(Payam, TheRecipientsAreTheTickedListAndTheDropDownOnlyNarrowsTheList) {
    open("admin");
    window->resize(800, 600);
    window->show();
    const QPoint aboveList = window->prs_list->geometry().topRight() + QPoint(-5, -8);
    auto* caption = qobject_cast<QLabel*>(window->childAt(aboveList));
    EXPECT_EQ(caption ? caption->text() : "", QString::fromUtf8("گيرندگان پيام"));
    EXPECT_LT(window->girande->geometry().bottom(), window->DBGrid1->geometry().top());

    window->girande->setCurrentIndex(window->girande->findText("reza"));
    window->girandeChange();
    window->cmt->setPlainText(QString::fromUtf8("جلسه"));
    gctest::clickCentre(window->BitBtn1);
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(dialogs.texts().value(0).contains(QString::fromUtf8("«گيرندگان پيام»")));

    const QRect row = window->prs_list->visualItemRect(window->prs_list->item(2)); // reza
    QTest::mouseClick(window->prs_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(row.right() - row.height() / 2, row.center().y()));
    gctest::clickCentre(window->BitBtn1);
    EXPECT_EQ(count("rec_prs_id=" + reza), 1);
    EXPECT_EQ(count(), 1);
    ASSERT_EQ(window->DBMemo1->toPlainText(), QString::fromUtf8("جلسه"));
    const QImage shown = window->DBMemo1->viewport()->grab().toImage();
    for (int x = 0; x < shown.width() / 2; ++x)
        for (int y = 0; y < shown.height(); ++y)
            ASSERT_GT(qGray(shown.pixel(x, y)), 100) << "text on the left half";
    window->hide();
}

GC_ON_BOTH_BACKENDS(Payam);

TEST(MessageBody, EncodesIntoTheCodePageAndRefusesWhatItCannotHold) {
    QString bad;
    EXPECT_EQ(messages::EncodeBody(QString::fromUtf8("کی"), &bad), QByteArray("\x98\xED"));
    EXPECT_FALSE(messages::EncodeBody(QString::fromUtf8("a😀"), &bad));
    EXPECT_FALSE(bad.isEmpty());
    EXPECT_EQ(messages::DecodeBody(QByteArray("\xD3\xE1\xC7\xE3")), QString::fromUtf8("سلام"));
}
