#include "capture/dorbin.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/arbab/arbabrojo_list.h"
#include "registers/asami/asami.h"
#include "registers/khodro/khodro_list.h"
#include "registers/shared/mask_inputs.h"
#include "windows/messages/payam_window.h"
#include "windows/phonebook/log_window.h"
#include "windows/shell/main_window.h"
#include "windows/shell/page.h"
#include "windows/shell/setting_window.h"
#include "windows/shell/users_window.h"
#include "windows/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace gc;
using gctest::Backend;

namespace {

const QString kRefused = QString::fromUtf8("شما دسترسي به اين صفحه را نداريد");
const QString kStored = QString::fromUtf8("ثبت شد");
const QString kUnread = QString::fromUtf8("شما اين تعداد پيام ناخوانده داريد ");
const QString kExit = QString::fromUtf8("آيا مي خواهيد از برنامه خارج شويد");

// A page that records what the main window does with it.
class StubPage : public Page {
  public:
    QAction insert{"ins"}, editing{"edit"}, removing{"del"};
    QPushButton button;
    int prepared = 0;
    int shown = 0;
    QString today;
    QSize fitted;

    PageCommands commands() override { return {{&insert, &button}, {&editing}, {&removing}}; }
    void prepare(const PageContext& context) override {
        ++prepared;
        today = context.today();
        context.fitSize(button);
        fitted = button.size();
    }
    void showModal() override { ++shown; }
};

struct Entry {
    const char* item;
    const char* entry;
    const char* right;
};

// Every menu entry that opens a page, with the page key its right is read for.
const Entry kEntries[] = {
    {"N1", "amval", "amval"},  {"N16", "anbar", "anbar"},      {"N8", "khodro", "khodro"},
    {"N3", "prs", "prs"},      {"N11", "arbab", "arbab"},      {"N10", "parking", "parking"},
    {"N18", "phone", "phone"}, {"N6", "setting", "setting"},   {"N14", "kala", "kala"},
    {"N12", "otagh", "otagh"}, {"N7", "karbaran", "karbaran"}, {"N9", "asami", "asami"},
    {"N15", "loh", "loh"},     {"N21", "log", "karbaran"},     {"N20", "dorbin", "arbab"},
};

class MainWindow : public gctest::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped())
            return;
        createSchema();
        exec("delete from dastrasi");
        exec("insert into users (us, ps) values ('guard', 'g')");
        guardId = scalar("select id from users where us='guard'").toString();
        logIn("guard", "g");
        ASSERT_TRUE(forms->services->user().loggedIn());
        main().Timer1->stop();
        for (const Entry& e : kEntries) {
            if (main().page(e.entry))
                continue; // a window that exists already
            auto page = std::make_unique<StubPage>();
            pages[e.entry] = page.get();
            main().registerPage(e.entry, std::move(page));
        }
    }
    Tmain& main() { return *forms->main; }
    QAction* item(const char* name) {
        auto* action = main().findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    void grant(const QString& page, bool darj, bool virayesh, bool hazf, bool namayesh) {
        forms->dm->ADOQuery1.setSql("select * from dastrasi");
        forms->dm->ADOQuery1.open();
        forms->dm->ADOQuery1.append();
        forms->dm->ADOQuery1.fieldByName("prs_id").setAsString(guardId);
        forms->dm->ADOQuery1.fieldByName("page_name").setAsString(page);
        forms->dm->ADOQuery1.fieldByName("darj").setAsString(darj ? "True" : "False");
        forms->dm->ADOQuery1.fieldByName("virayesh").setAsString(virayesh ? "True" : "False");
        forms->dm->ADOQuery1.fieldByName("hazf").setAsString(hazf ? "True" : "False");
        forms->dm->ADOQuery1.fieldByName("namayesh").setAsString(namayesh ? "True" : "False");
        forms->dm->ADOQuery1.post();
    }
    QString guardId;
    std::map<QString, StubPage*> pages;
};

} // namespace

TEST_P(MainWindow, MenuInTheFormsOrderWithItsExactCaptions) {
    EXPECT_EQ(main().windowTitle(), QString::fromUtf8("كنترل ورود و خروج"));
    EXPECT_EQ(main().layoutDirection(), Qt::RightToLeft);
    QStringList bar, sub;
    for (QAction* a : main().menuBar()->actions())
        bar << a->objectName() + ":" + a->text();
    for (QAction* a : item("N4")->menu()->actions())
        sub << a->objectName() + ":" + a->text();
    EXPECT_EQ(bar, QString::fromUtf8("N1:اموال|N16:انبار|N8:خودرو|N3:پرسنل|N11:ارباب رجوع|"
                                     "N10:پاركينگ|N17:پيام|N4:اطلاعات پايه|N2:خروج")
                       .split('|'));
    EXPECT_EQ(sub,
              QString::fromUtf8("N18:دفترچه تلفن|N6:تنظيمات|N14:کالاها|N12:اتاق ها|"
                                "N7:كاربران|N9:اسامي و تصاوير پرسنل|N15:لوح|N13:فايل ملاقات|"
                                "N19:فايل ملاقات با کروکي|N5:درباره|N21:گزارش عمليات|N20:دوربين")
                  .split('|'));
    // Arabic kaf where stored so, Persian kaf in the two goods and sketch captions, and
    // never a Persian yeh.
    const QChar arabicKaf(0x0643), persianKaf(0x06A9), persianYeh(0x06CC);
    EXPECT_TRUE(item("N10")->text().contains(arabicKaf));
    EXPECT_TRUE(item("N7")->text().contains(arabicKaf));
    EXPECT_TRUE(main().windowTitle().contains(arabicKaf));
    EXPECT_TRUE(item("N14")->text().contains(persianKaf));
    EXPECT_TRUE(item("N19")->text().contains(persianKaf));
    EXPECT_FALSE((bar + sub).join("").contains(persianYeh));
}

TEST_P(MainWindow, NoRightsRowRefusesEveryPageButMessagesAboutAndExit) {
    for (const Entry& e : kEntries)
        item(e.item)->trigger();
    item("N13")->trigger();
    item("N19")->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList(std::size(kEntries) + 2, kRefused));
    for (const auto& [key, page] : pages)
        EXPECT_EQ(page->prepared + page->shown, 0) << key.toStdString();
    EXPECT_TRUE(dialogs.fileRequests.isEmpty());

    dialogs.messages.clear();
    item("N5")->trigger(); // about: one box, not a refusal
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_NE(dialogs.messages[0].text, kRefused);
    // Messages need no right.
    QTimer::singleShot(0, forms->payam.get(), &QDialog::reject);
    item("N17")->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(forms->dm->ADOQ_payam.isActive());
}

TEST_P(MainWindow, OpenFlagOffRefusesButTheCommandsAreAlreadySet) {
    for (const Entry& e : kEntries)
        if (QString(e.entry) == e.right)
            grant(e.right, true, false, true, false);
    for (const Entry& e : kEntries) {
        if (!pages.count(e.entry))
            continue;
        StubPage& page = *pages[e.entry];
        page.editing.setEnabled(true);
        page.insert.setEnabled(false);
        dialogs.messages.clear();
        item(e.item)->trigger();
        EXPECT_EQ(dialogs.texts(), QStringList{kRefused}) << e.item;
        EXPECT_EQ(page.shown, 0) << e.item;
        EXPECT_TRUE(page.insert.isEnabled()) << e.item;
        EXPECT_TRUE(page.button.isEnabled()) << e.item;
        EXPECT_FALSE(page.editing.isEnabled()) << e.item;
        EXPECT_TRUE(page.removing.isEnabled()) << e.item;
    }
}

TEST_P(MainWindow, EachFlagSwitchesItsOwnCommandsAndThePageOpensPrepared) {
    const struct {
        bool darj, virayesh, hazf;
    } cases[] = {{true, false, false}, {false, true, false}, {false, false, true}};
    main().showNormal();
    main().resize(1000, 800);
    gc::registers::Tasami& asami = *forms->asami;
    for (const auto& c : cases) {
        exec("delete from dastrasi");
        grant("asami", c.darj, c.virayesh, c.hazf, true);
        bool shown = false;
        QTimer::singleShot(0, &asami, [&] {
            shown = asami.isVisible();
            asami.reject();
        });
        item("N9")->trigger();
        EXPECT_TRUE(shown);
        // The directory's insert button and its pop-up's first two entries, edit and delete.
        EXPECT_EQ(asami.ins_btn->isEnabled(), c.darj);
        EXPECT_EQ(asami.popup(0)->isEnabled(), c.virayesh);
        EXPECT_EQ(asami.popup(1)->isEnabled(), c.hazf);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(asami.countLabel()->text(), "0");
    EXPECT_FALSE(asami.edit_btn->isEnabled());
    EXPECT_EQ(asami.size(), QSize(1000 - 30, 800 - 50));

    // The camera and the log viewer borrow the rights of the visitors and users pages.
    grant("arbab", false, false, false, true);
    bool cameraShown = false;
    QTimer::singleShot(0, forms->dorbin.get(), [&] {
        cameraShown = forms->dorbin->isVisible();
        forms->dorbin->close();
    });
    item("N20")->trigger();
    EXPECT_TRUE(cameraShown);
    EXPECT_FALSE(forms->dorbin->isVisible());
    EXPECT_FALSE(forms->arbabrojo_list->isVisible());
    item("N21")->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{kRefused});
    EXPECT_FALSE(forms->log->isVisible());
}

TEST_P(MainWindow, UsersAndPresetListsOpenWithTheirRights) {
    Tusers& users = *forms->users;
    Tsetting& setting = *forms->setting;
    grant("karbaran", true, true, false, true);
    grant("setting", false, false, true, true);
    main().showNormal();
    main().resize(700, 500);
    QTimer::singleShot(0, &users, &QDialog::reject);
    item("N7")->trigger();
    EXPECT_TRUE(users.ins_btn->isEnabled());
    EXPECT_TRUE(users.ins_btn2->isEnabled());
    EXPECT_FALSE(users.N1->isEnabled());
    EXPECT_EQ(users.karbar->text(), "guard");
    EXPECT_EQ(users.prs_id->text(), guardId);
    EXPECT_FALSE(users.prs_id->isVisibleTo(&users));

    setting.N2->setEnabled(true);
    QTimer::singleShot(0, &setting, &QDialog::reject);
    item("N6")->trigger();
    EXPECT_FALSE(setting.ins_btn->isEnabled());
    EXPECT_TRUE(setting.N1->isEnabled());
    EXPECT_TRUE(setting.N2->isEnabled()); // the default item is not a right's
    EXPECT_EQ(setting.height(), 500 - 50);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(users.isVisible());
    EXPECT_FALSE(setting.isVisible());
}

TEST_P(MainWindow, ARightIsReadAgainAtEachOpening) {
    grant("asami", false, false, false, true);
    int shown = 0;
    QTimer::singleShot(0, forms->asami.get(), [&] {
        shown += forms->asami->isVisible() ? 1 : 0;
        forms->asami->reject();
    });
    item("N9")->trigger();
    exec("update dastrasi set namayesh='False' where page_name='asami'");
    item("N9")->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(dialogs.texts(), QStringList{kRefused});
}

TEST_P(MainWindow, TheVehicleListOpensPreparedOnTodaysRows) {
    grant("khodro", true, false, false, true);
    QString shownDate;
    int shownCount = -1;
    QTimer::singleShot(0, forms->khodro_list.get(), [&] {
        shownDate = forms->khodro_list->exit_dat1()->displayText();
        shownCount = forms->dm->ADOQ_khodro.recordCount();
        forms->khodro_list->close();
    });
    item("N8")->trigger();
    EXPECT_EQ(shownDate, "1403/01/01");
    EXPECT_EQ(shownCount, 0);
    EXPECT_TRUE(forms->khodro_list->insertAction()->isEnabled());
    EXPECT_FALSE(forms->khodro_list->editAction()->isEnabled());
}

TEST_P(MainWindow, TheVisitorListOpensOnTodayWithALimitedUsersRights) {
    // May open and edit, not register or delete.
    grant("arbab", false, true, false, true);
    exec("insert into arbabrojo (name, dat, vorod, khoroj) values ('old', '1402/12/29', "
         "'09:00', '  :  ')");
    exec("insert into arbabrojo (name, dat, vorod, khoroj) values ('today', '1403/01/01', "
         "'09:00', '  :  ')");
    auto& list = *forms->arbabrojo_list;
    QString shownCount;
    QString edited;
    QTimer::singleShot(0, &list, [&] {
        shownCount = list.countLabel()->text();
        EXPECT_TRUE(list.CheckBox(3)->isChecked());
        EXPECT_EQ(list.dat1()->displayText(), "1403/01/01");
        EXPECT_FALSE(list.insertAction()->isEnabled());
        EXPECT_FALSE(list.deleteAction()->isEnabled());
        ASSERT_TRUE(list.editAction()->isEnabled());
        QTimer::singleShot(0, forms->arbabrojo.get(), [&] {
            edited = forms->arbabrojo->name()->currentText();
            forms->arbabrojo->reject();
        });
        list.editAction()->trigger();
        list.close();
    });
    item("N11")->trigger();
    EXPECT_EQ(shownCount, "1");
    EXPECT_EQ(edited, "today");
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_P(MainWindow, TheCameraWindowsStopUnticksTheVisitorCamera) {
    QCheckBox* camera = forms->arbabrojo->camera();
    {
        const QSignalBlocker quiet(camera);
        camera->setChecked(true);
    }
    emit forms->dorbin->cameraStopped();
    EXPECT_FALSE(camera->isChecked());
}

TEST_P(MainWindow, PagesRegisterOnlyOnceAndOnlyUnderMenuEntries) {
    EXPECT_THROW(main().registerPage("khodro", std::make_unique<StubPage>()),
                 std::invalid_argument);
    EXPECT_THROW(main().registerPage("zamaem", std::make_unique<StubPage>()),
                 std::invalid_argument);
    EXPECT_THROW(main().registerPage("payam", std::make_unique<StubPage>()), std::invalid_argument);
}

namespace {

class Uploads : public MainWindow {
  protected:
    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(files.path()).filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QList<QByteArray> stored(const QString& table) {
        QSqlQuery q(forms->dm->ADOConnection1.database());
        EXPECT_TRUE(q.exec("select pic from " + table + " order by id"));
        QList<QByteArray> out;
        while (q.next())
            out << q.value(0).toByteArray();
        return out;
    }
    QTemporaryDir files;
};

// A message layer whose boxes stay open for a while, running the event loop as a
// real modal box does.
class SlowDialogs : public gctest::ScriptedDialogs {
  public:
    int depth = 0;
    int deepest = 0;
    int message(ui::MsgIcon icon, const QString& text, int buttons) override {
        ++depth;
        deepest = std::max(deepest, depth);
        QEventLoop loop;
        QTimer::singleShot(40, &loop, &QEventLoop::quit);
        loop.exec();
        --depth;
        return ScriptedDialogs::message(icon, text, buttons);
    }
};

} // namespace

TEST_P(Uploads, OnlyTheInsertFlagCountsAndTheRowIsReplaced) {
    static constexpr char raw[] = "\x00\x01\xff\xfe project";
    const QByteArray binary(raw, sizeof raw - 1);
    dialogs.files = {file("cards.rav", binary)};
    grant("zamaem", false, true, true, true);
    item("N13")->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList{kRefused});
    EXPECT_TRUE(dialogs.fileRequests.isEmpty());

    exec("delete from dastrasi");
    grant("zamaem", true, false, false, false);
    item("N13")->trigger();
    EXPECT_EQ(dialogs.texts().last(), kStored);
    EXPECT_EQ(stored("zamaem"), QList<QByteArray>{binary});

    dialogs.files = {file("cards2.rav", "second")};
    item("N13")->trigger();
    dialogs.files = {file("sketch.rav", "sketch")};
    item("N19")->trigger();
    EXPECT_EQ(dialogs.texts().mid(1), QStringList({kStored, kStored, kStored}));
    EXPECT_EQ(stored("zamaem"), QList<QByteArray>{"second"});
    EXPECT_EQ(stored("molaghat_file"), QList<QByteArray>{"sketch"});
}

TEST_P(Uploads, CancelAndOtherExtensionsDoNothingSilently) {
    grant("zamaem", true, false, false, false);
    dialogs.files = {file("old.rav", "old")};
    item("N13")->trigger();
    dialogs.messages.clear();
    dialogs.files = {QString(), file("new.RAV", "x"), file("new.rav.bak", "x"), file("rav", "x")};
    for (int i = 0; i < 4; ++i)
        item("N13")->trigger();
    EXPECT_EQ(dialogs.fileRequests.size(), 5);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(stored("zamaem"), QList<QByteArray>{"old"});
}

TEST_P(Uploads, AFailureKeepsTheOldRow) {
    grant("zamaem", true, false, false, false);
    dialogs.files = {file("old.rav", "old")};
    item("N13")->trigger();
    dialogs.messages.clear();

    // A file that cannot be read: the table is not touched.
    QDir(files.path()).mkdir("folder.rav");
    dialogs.files = {QDir(files.path()).filePath("folder.rav")};
    item("N13")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Error);
    EXPECT_EQ(stored("zamaem"), QList<QByteArray>{"old"});

    // The database refuses the new row after the old one was deleted.
    if (GetParam() == Backend::SQLite) {
        exec("create trigger refuse before insert on zamaem begin select raise(abort, 'refused'); "
             "end");
    } else {
        exec("create function refuse() returns trigger as $$ begin raise exception 'refused'; "
             "end $$ language plpgsql");
        exec("create trigger refuse before insert on zamaem for each row execute function "
             "refuse()");
    }
    dialogs.files = {file("new.rav", "new")};
    item("N13")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].icon, ui::MsgIcon::Error);
    EXPECT_TRUE(dialogs.messages[1].text.contains("refused"))
        << dialogs.messages[1].text.toStdString();
    EXPECT_EQ(stored("zamaem"), QList<QByteArray>{"old"});

    // The connection is usable afterwards.
    exec(GetParam() == Backend::SQLite ? "drop trigger refuse" : "drop trigger refuse on zamaem");
    dialogs.files = {file("new.rav", "new")};
    item("N13")->trigger();
    EXPECT_EQ(dialogs.texts().last(), kStored);
    EXPECT_EQ(stored("zamaem"), QList<QByteArray>{"new"});
}

TEST_P(MainWindow, PollAnnouncesUnreadMessagesUntilTheyAreRead) {
    const QString adminRow = adminId();
    for (int i = 0; i < 3; ++i)
        exec("insert into payamha (send_prs_id, rec_prs_id, show_dat, mozo) values (" + adminRow +
             ", " + guardId + ", '', 'm')");
    exec("insert into payamha (rec_prs_id, show_dat) values (" + guardId + ", '1403/01/01')");
    exec("insert into payamha (rec_prs_id, show_dat) values (" + adminRow + ", '')");
    main().Timer1->setInterval(10);
    main().Timer1->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.messages.size() >= 3; }, 3000));
    main().Timer1->stop();
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.text, kUnread + "3");
    EXPECT_EQ(sound->exitSounds, dialogs.messages.size());

    exec("update payamha set show_dat='1403/01/02' where show_dat=''");
    dialogs.messages.clear();
    main().Timer1->start();
    QTest::qWait(100);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(main().Timer1->isActive());
}

TEST_P(MainWindow, PollBoxesNeverPileUp) {
    exec("insert into payamha (rec_prs_id, show_dat) values (" + guardId + ", '')");
    SlowDialogs slow;
    main().Timer1->setInterval(5);
    main().Timer1->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return slow.messages.size() >= 3; }, 3000));
    main().Timer1->stop();
    EXPECT_EQ(slow.deepest, 1);
    EXPECT_EQ(slow.texts().first(), kUnread + "1");
}

TEST_P(MainWindow, PollDatabaseErrorShowsOneBoxUntilAPollSucceeds) {
    exec("drop table payamha");
    main().Timer1->setInterval(5);
    main().Timer1->start();
    QTest::qWait(150);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].icon, ui::MsgIcon::Error);
    EXPECT_TRUE(main().Timer1->isActive());

    createSchema();
    QTest::qWait(50);
    EXPECT_EQ(dialogs.messages.size(), 1);
    exec("drop table payamha");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.messages.size() == 2; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_P(MainWindow, ExitAsksAndOnlyYesEndsTheProgram) {
    main().Timer1->setInterval(Tmain::kPollInterval);
    main().Timer1->start();
    gctest::CloseSpy loginCloses(*forms->login);
    dialogs.answers = {ui::No, ui::Cancel};
    item("N2")->trigger();
    main().close(); // the title bar's close box
    ASSERT_EQ(dialogs.messages.size(), 2);
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.text, kExit);
        EXPECT_EQ(m.icon, ui::MsgIcon::Warning);
        EXPECT_EQ(m.buttons, ui::Yes | ui::No | ui::Cancel);
    }
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(main().Timer1->isActive());
    EXPECT_EQ(loginCloses.closes, 0);

    dialogs.answers = {ui::Yes};
    item("N2")->trigger();
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(loginCloses.closes, 1);
    EXPECT_FALSE(forms->login->isVisible());
}

TEST_P(MainWindow, BackgroundFollowsTheWindowSize) {
    main().showNormal();
    main().resize(640, 480);
    EXPECT_EQ(main().Image1->size(), QSize(main().width() - 10, main().height() - 80));
}

GC_INSTANTIATE_BACKENDS(MainWindow);
GC_INSTANTIATE_BACKENDS(Uploads);
