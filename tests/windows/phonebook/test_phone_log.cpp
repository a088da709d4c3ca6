#include "core/activity_log.h"
#include "core/data_module.h"
#include "core/log_search.h"
#include "core/phone_search.h"
#include "core/report_project.h"
#include "core/services.h"
#include "core/stamp_text.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_host_resolver.h"
#include "fakes/fake_platform.h"
#include "platform/db/query.h"
#include "platform/text/codepage.h"
#include "platform/ui/query_grid.h"
#include "platform/ui/widgets.h"
#include "platform/xlsx/file_opener.h"
#include "registers/shared/mask_inputs.h"
#include "support/clicking.h"
#include "support/dm_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/typing.h"
#include "support/xlsx_reader.h"
#include "windows/phonebook/log_window.h"
#include "windows/phonebook/phone_pages.h"
#include "windows/phonebook/phone_window.h"

#include <QAction>
#include <QCalendar>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc;

namespace {

const QString kKeheh = QString(QChar(0x06A9));
const QString kKaf = QString(QChar(0x0643));

QString u(const char* text) {
    return QString::fromUtf8(text);
}

// ---- Statements and the log row, no database ----

TEST(PhoneSearchSql, FiltersTheChosenColumnAndSkipsNamelessRows) {
    EXPECT_EQ(PhoneCountSql(PhoneSearchColumn::Name, "ali"),
              "select count(*) as c from phone where name<>'' and name like '%ali%' escape '\\'");
    EXPECT_EQ(PhoneListSql(PhoneSearchColumn::Tel, "021"),
              "select * from phone where name<>'' and tel like '%021%' escape '\\' order by name");
    EXPECT_EQ(PhoneListSql(PhoneSearchColumn::Cmt, "o'k"),
              "select * from phone where name<>'' and cmt like '%o''k%' escape '\\' order by name");
    EXPECT_EQ(PhoneNameSql("x'y"), "select * from phone where name = 'x''y'");
}

TEST(PhoneSearchSql, KehehBecomesKafEverywhere) {
    EXPECT_EQ(NormalizeKeheh(kKeheh + "a" + kKeheh), kKaf + "a" + kKaf);
    EXPECT_EQ(NormalizeKeheh(kKaf), kKaf);
}

TEST(LogSearchSql, ConditionsFollowTheFixedOrder) {
    LogFilters f;
    EXPECT_EQ(LogCountSql(f), "select count(*) as c  from log where karbar<>''");
    EXPECT_EQ(LogListSql(f), "select * from log where karbar<>'' order by saat_sys desc ");
    f.ip = "10.";
    f.computer_name = "pc";
    f.cmt = "x";
    f.dates = {{"1403/01/01", "1403/01/31"}};
    f.karbar = "a'";
    EXPECT_EQ(LogFilterText(f), " and karbar like '%a''%' escape '\\'"
                                " and tarikh>='1403/01/01' and tarikh<='1403/01/31'"
                                " and cmt like '%x%' escape '\\'"
                                " and computer_name like '%pc%' escape '\\'"
                                " and ip like '%10.%' escape '\\'");
}

TEST(LogRow, ValuesOutsideTheCodePageOrTooLongAreFittedNotRefused) {
    ActivityLogEntry e;
    e.karbar = "admin";
    e.ip = "10.0.0.7";
    e.computer_name = QString(60, 'h');
    e.saat = QString::fromUtf8("2:05:33\u202FPM"); // a narrow space, as some locales write it
    e.tarikh = "1403/02/12";
    e.cmt = u("ثبت دفترچه تلفن ") + QString(250, QChar(0x0643));
    const ActivityLogEntry f = FitForLog(e);
    EXPECT_EQ(f.computer_name, QString(50, 'h'));
    EXPECT_EQ(f.saat, "2:05:33?PM");
    EXPECT_EQ(f.cmt.size(), 200);
    EXPECT_EQ(f.karbar, "admin");
    EXPECT_EQ(f.tarikh, "1403/02/12");
}

TEST(LongTime, HasNoTimeZoneAndFitsTheColumn) {
    EXPECT_EQ(LongTimeText(QTime(14, 5, 33), QLocale(QLocale::English, QLocale::UnitedStates)),
              "2:05:33 PM");
    for (const QLocale& l : {QLocale::c(), QLocale(QLocale::Persian, QLocale::Iran),
                             QLocale(QLocale::German, QLocale::Germany), QLocale::system()}) {
        const QString t = LongTimeText(QTime(23, 59, 59), l);
        EXPECT_FALSE(t.isEmpty()) << l.name().toStdString();
        EXPECT_LE(t.size(), 30) << t.toStdString();
        EXPECT_FALSE(t.contains("UTC") || t.contains("GMT") || t.contains('+')) << t.toStdString();
    }
}

// ---- The windows on a database ----

class OpenerFake : public xlsx::FileOpener {
  public:
    bool open(const QString& path) override {
        opened << path;
        return true;
    }
    QStringList opened;
};

class PhoneLog : public gctest::DmTest {
  protected:
    void SetUp() override {
        gctest::DmTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        PlatformServices p;
        auto clock = std::make_unique<test::FakeClock>(QDateTime(QDate(2024, 5, 1), QTime(9, 30)));
        auto resolver = std::make_unique<test::FakeHostResolver>();
        resolver->forward["guardpost"] = {QHostAddress("10.0.0.7")};
        resolver->reverse["10.0.0.7"] = "gate-pc";
        resolverFake = resolver.get();
        auto opener = std::make_unique<OpenerFake>();
        openerFake = opener.get();
        p.clock = std::move(clock);
        p.resolver = std::move(resolver);
        p.keyboard = std::make_unique<test::FakeKeyboardLayout>();
        p.sound = std::make_unique<test::FakeSystemSound>();
        p.opener = std::move(opener);
        services = std::make_unique<Services>(std::move(p));
        services->user().set("1", "admin");
        phone = std::make_unique<Tphone>(*dm, *services, dir.path());
        log = std::make_unique<Tlog>(*dm, services->opener(), dir.path());
    }

    void insert(const QString& name, const QString& tel = "021", const QString& cmt = "c") {
        phone->name->setText(name);
        phone->tel->setText(tel);
        phone->cmt->setText(cmt);
        phone->ins_btnClick();
    }
    int count(const QString& table) { return scalar("select count(*) from " + table).toInt(); }
    QString today() {
        const QCalendar jalali(QCalendar::System::Jalali);
        const QCalendar::YearMonthDay d = jalali.partsFromDate(QDate(2024, 5, 1));
        return QString("%1/%2/%3")
            .arg(d.year)
            .arg(d.month, 2, 10, QChar('0'))
            .arg(d.day, 2, 10, QChar('0'));
    }
    void addLog(const QString& karbar, const QString& tarikh, const QString& stamp,
                const QString& cmt = "op") {
        ASSERT_TRUE(raw("insert into log (karbar, ip, computer_name, saat, tarikh, cmt, saat_sys) "
                        "values ('" +
                        karbar + "', '10.1.1.1', 'pc1', '9:00', '" + tarikh + "', '" + cmt +
                        "', '" + stamp + "')"));
    }
    QStringList listed(const char* field) {
        QStringList out;
        db::Query& q = dm->ADOQuery1;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(field).asString();
        return out;
    }

    gctest::ScriptedDialogs dialogs;
    QTemporaryDir dir;
    test::FakeHostResolver* resolverFake = nullptr;
    OpenerFake* openerFake = nullptr;
    std::unique_ptr<Services> services;
    std::unique_ptr<Tphone> phone;
    std::unique_ptr<Tlog> log;
};

QString cellText(const QJsonObject& sheet, const QString& name) {
    return sheet["cells"].toObject()[name].toObject()["value"].toString();
}

TEST_P(PhoneLog, InsertWritesTheEntryAndExactlyOneLogRow) {
    phone->prepare();
    insert(u("علي"), "0912", u("نگهبان"));
    EXPECT_EQ(dialogs.texts(), QStringList{u("ثبت شد")});
    EXPECT_EQ(count("phone"), 1);
    ASSERT_EQ(count("log"), 1);
    // The grid shows the refreshed phone book, not the log.
    EXPECT_GE(dm->ADOQuery1.fieldIndex("tel"), 0);
    EXPECT_EQ(phone->cnt->text(), "1");
    EXPECT_EQ(phone->name->text(), u("علي")); // inputs keep their text
    dm->ADOQuery1.setSql("select * from log");
    dm->ADOQuery1.open();
    db::Query& q = dm->ADOQuery1;
    EXPECT_EQ(q.fieldByName("karbar").asString(), "admin");
    EXPECT_EQ(q.fieldByName("ip").asString(), "10.0.0.7");
    EXPECT_EQ(q.fieldByName("computer_name").asString(), "gate-pc");
    EXPECT_EQ(q.fieldByName("saat").asString(), LongTimeText(QTime(9, 30), QLocale::system()));
    EXPECT_EQ(q.fieldByName("tarikh").asString(), today());
    EXPECT_EQ(q.fieldByName("cmt").asString(), u("ثبت دفترچه تلفن علي"));
    EXPECT_FALSE(q.fieldByName("saat_sys").isNull()); // the database's default
}

TEST_P(PhoneLog, NoReverseNameLogsAnEmptyComputerName) {
    resolverFake->reverse.clear();
    insert("x");
    EXPECT_EQ(scalar("select computer_name from log").toString(), "");
    EXPECT_EQ(scalar("select ip from log").toString(), "10.0.0.7");
}

TEST_P(PhoneLog, DuplicateNameIsRefusedButAnotherKafIsANewName) {
    insert(u("ك"));
    dialogs.messages.clear();
    insert(u("ك"), "999");
    EXPECT_EQ(dialogs.texts(), QStringList{u("نام تکراري است")});
    EXPECT_EQ(count("phone"), 1);
    EXPECT_EQ(count("log"), 1);
    insert(kKeheh); // no replacement on insert
    EXPECT_EQ(count("phone"), 2);
    EXPECT_EQ(count("log"), 2);
}

TEST_P(PhoneLog, ALongHostNameStillSavesTheEntryWithItsLogRow) {
    resolverFake->reverse["10.0.0.7"] = QString(70, 'w') + ".example.org";
    insert(u("علي"));
    EXPECT_EQ(dialogs.texts(), QStringList{u("ثبت شد")});
    EXPECT_EQ(count("phone"), 1);
    EXPECT_EQ(scalar("select computer_name from log").toString(), QString(50, 'w'));
}

TEST_P(PhoneLog, EmptyNameIsRefusedWithAMessage) {
    for (const QString& blank : {QString(), QString("  ")}) {
        dialogs.messages.clear();
        insert(blank);
        EXPECT_EQ(dialogs.texts(), QStringList{u("نام را وارد نماييد")});
    }
    EXPECT_EQ(count("phone"), 0);
    EXPECT_EQ(count("log"), 0);
}

TEST_P(PhoneLog, FailingLogWriteKeepsNoUnloggedEntryAndSaysNoSuccess) {
    ASSERT_TRUE(raw("drop table log"));
    dm->ADOConnection1.forgetSchema();
    insert("orphan");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.front().icon, ui::MsgIcon::Error);
    EXPECT_EQ(count("phone"), 0);
    EXPECT_EQ(phone->cnt->text(), "0");
}

TEST_P(PhoneLog, SearchFindsANameStoredWithEitherKafAndMatchesTheChosenColumn) {
    ASSERT_TRUE(raw("insert into phone (name, tel, cmt) values ('" + kKaf + "ريم', '111', 'a')"));
    ASSERT_TRUE(raw("insert into phone (name, tel, cmt) values ('" + kKeheh + "ريم', '222', 'b')"));
    ASSERT_TRUE(raw("insert into phone (name, tel, cmt) values ('', '333', 'hidden')"));
    phone->prepare();
    EXPECT_EQ(phone->cnt->text(), "2"); // the nameless row is never counted
    for (const QString& typed : {kKeheh, kKaf}) {
        phone->src->clear();
        gctest::typeKeys(phone->src, typed + u("ر"));
        EXPECT_EQ(phone->cnt->text(), "2");
        // The two kafs sort as one letter, the Persian form first.
        EXPECT_EQ(listed("tel"), (QStringList{"222", "111"}));
    }
    EXPECT_EQ(scalar("select count(*) from phone where name='" + kKeheh + "ريم'").toInt(), 1);
    phone->src->setText(u("ريم"));
    EXPECT_EQ(listed("tel"), (QStringList{"222", "111"}));
    phone->RadioGroup1->setItemIndex(int(PhoneSearchColumn::Cmt));
    phone->src->setText("hidden");
    EXPECT_EQ(phone->cnt->text(), "0");
    phone->src->setText("b");
    EXPECT_EQ(listed("tel"), QStringList{"222"});
}

TEST_P(PhoneLog, SearchTextTheDatabaseCannotTakeIsRefusedOnceNamingTheCharacter) {
    insert("ab");
    phone->prepare();
    dialogs.messages.clear();
    gctest::typeKeys(phone->src, "a");
    EXPECT_EQ(phone->cnt->text(), "1");
    // The keyboard sends the emoji as one key.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, u("😀"));
    QApplication::sendEvent(phone->src, &press);
    ASSERT_EQ(dialogs.texts(), QStringList{codepage::unsupportedCharMessage(u("😀"))});
    EXPECT_TRUE(dialogs.texts()[0].contains("U+1F600"));
    EXPECT_EQ(phone->cnt->text(), "");
    EXPECT_EQ(phone->src->text(), u("a😀")); // kept, to be mended
    gctest::typeKeys(phone->src, "b");      // typing on does not say it again
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(phone->cnt->text(), "");
    phone->src->setText("ab");
    EXPECT_EQ(phone->cnt->text(), "1");
}

TEST_P(PhoneLog, LogSearchRefusesADateThatDoesNotExist) {
    log->CheckBox2->click();
    log->dat1->setText("1403/13/01");
    log->dat2->setText("1403/01/01");
    EXPECT_FALSE(log->BitBtn1Click());
    EXPECT_EQ(dialogs.texts(), QStringList{BadDateMessage(u("تاريخ"), "1403/13/01")});
    dialogs.messages.clear();
    log->dat1->setText({});
    log->dat2->setText({});
    EXPECT_TRUE(log->BitBtn1Click()); // the blank range searches rows without a date
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_P(PhoneLog, DeleteCopiesTheRowBackAndWritesNoLog) {
    insert("a", "1", "x");
    insert("b", "2", "y");
    phone->prepare();
    ASSERT_TRUE(dm->ADOQuery1.locate("name", "b"));
    dialogs.messages.clear();
    phone->N1Click();
    EXPECT_EQ(dialogs.texts(), QStringList{u("حذف شد")});
    EXPECT_EQ(phone->name->text(), "b");
    EXPECT_EQ(phone->tel->text(), "2");
    EXPECT_EQ(phone->cmt->text(), "y");
    EXPECT_EQ(count("phone"), 1);
    EXPECT_EQ(count("log"), 2);
    EXPECT_EQ(phone->cnt->text(), "1");
}

TEST_P(PhoneLog, DeleteOnAnEmptyOrFailedListDoesNothing) {
    insert("a");
    phone->prepare();
    phone->src->setText("nobody");
    dialogs.messages.clear();
    phone->N1Click();
    dm->ADOQuery1.close(); // as a failed search leaves it
    phone->N1Click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(count("phone"), 1);
}

TEST_P(PhoneLog, TitleClickSortsAndClosingTheBookDropsTheOrder) {
    insert("b", "1");
    insert("a", "2");
    phone->prepare();
    phone->show();
    const int tel = dm->ADOQuery1.fieldIndex("tel");
    gctest::clickTitle(phone->DBGrid1, tel);
    EXPECT_EQ(listed("tel"), (QStringList{"1", "2"}));
    EXPECT_TRUE(gctest::boldTitle(phone->DBGrid1, tel));
    gctest::clickTitle(phone->DBGrid1, tel);
    EXPECT_EQ(listed("tel"), (QStringList{"2", "1"}));
    phone->hide();
    EXPECT_TRUE(dm->ADOQuery1.sort().isEmpty());
    phone->prepare();
    EXPECT_FALSE(gctest::boldTitle(phone->DBGrid1, tel));
    // The scratch query serves other statements again.
    dm->ADOQuery1.setSql("select count(*) as c from users");
    EXPECT_NO_THROW(dm->ADOQuery1.open());
}

TEST_P(PhoneLog, PageSwitchesInsertAndDeleteAndOpensOnTheWholeBook) {
    insert("a");
    insert("b");
    phone->src->setText("a");
    PhonePage page(*phone);
    const PageCommands c = page.commands();
    EXPECT_EQ(c.insert, QList<QObject*>{phone->ins_btn});
    EXPECT_EQ(c.remove, QList<QObject*>{phone->N1});
    EXPECT_TRUE(c.edit.isEmpty());
    test::FakeClock clock;
    CurrentPersianDate date(clock);
    page.prepare(PageContext(QSize(800, 600), date));
    EXPECT_EQ(phone->cnt->text(), "2");
    EXPECT_TRUE(phone->name->text().isEmpty());
    EXPECT_EQ(phone->height(), 550);
}

TEST_P(PhoneLog, PhoneExportHeadsTheCaptions) {
    insert("a", "021", "x");
    phone->prepare();
    phone->N2Click();
    ASSERT_EQ(openerFake->opened.size(), 1);
    const QJsonObject sheet = gctest::readXlsx(openerFake->opened.front());
    EXPECT_EQ(cellText(sheet, "A1"), u("شناسه"));
    EXPECT_EQ(cellText(sheet, "B1"), u("نام"));
    EXPECT_EQ(cellText(sheet, "C1"), u("تلفن"));
    EXPECT_EQ(cellText(sheet, "D1"), u("شرح"));
    EXPECT_EQ(cellText(sheet, "B2"), "a");
}

TEST_P(PhoneLog, BoxesEnableTheirInputs) {
    EXPECT_FALSE(log->dat1->isEnabled());
    log->CheckBox2->click();
    EXPECT_TRUE(log->dat1->isEnabled());
    EXPECT_TRUE(log->dat2->isEnabled());
    log->CheckBox2->click();
    EXPECT_FALSE(log->dat2->isEnabled());
    log->CheckBox5->click();
    EXPECT_TRUE(log->ip->isEnabled());
    EXPECT_TRUE(log->filters().ip.has_value());
    EXPECT_FALSE(log->filters().karbar.has_value());
}

TEST_P(PhoneLog, LogSearchListsNewestFirstWithTheTickedFilters) {
    addLog("ali", "1403/01/10", "2024-03-29 10:00:00");
    addLog("reza", "1403/01/20", "2024-04-08 10:00:00");
    addLog("alireza", "1403/02/01", "2024-04-20 10:00:00");
    addLog("", "1403/02/01", "2024-04-21 10:00:00"); // never listed
    log->prepare();
    ASSERT_TRUE(log->BitBtn1Click());
    EXPECT_EQ(log->cnt->text(), "3");
    EXPECT_EQ(listed("karbar"), (QStringList{"alireza", "reza", "ali"}));
    log->CheckBox1->click();
    log->karbar->setEditText("ali");
    log->BitBtn1Click();
    EXPECT_EQ(listed("karbar"), (QStringList{"alireza", "ali"})); // a substring
    log->CheckBox2->click();
    log->dat1->setText("1403/01/10");
    log->dat2->setText("1403/01/20");
    log->karbar->setEditText("");
    log->BitBtn1Click();
    EXPECT_EQ(listed("karbar"), (QStringList{"reza", "ali"})); // both ends inclusive
    log->dat1->clearToBlank();
    log->dat2->clearToBlank();
    log->BitBtn1Click();
    EXPECT_EQ(log->cnt->text(), "0");
}

TEST_P(PhoneLog, LogViewerOffersUserNamesAndClearsItsTextFilters) {
    log->cmt->setText("x");
    log->ip->setText("1");
    log->karbar->setEditText("old");
    log->prepare();
    EXPECT_TRUE(log->cmt->text().isEmpty());
    EXPECT_TRUE(log->ip->text().isEmpty());
    EXPECT_TRUE(log->karbar->currentText().isEmpty());
    EXPECT_GE(log->karbar->findText("admin"), 0);
}

TEST_P(PhoneLog, ViewerKeepsItsOwnLastListButNeverAnotherWindowsStatement) {
    addLog("ali", "1403/01/10", "2024-03-29 10:00:00");
    log->prepare();
    log->BitBtn1Click();
    log->prepare();
    EXPECT_TRUE(dm->ADOQuery1.isActive()); // its own rows stay
    EXPECT_EQ(listed("karbar"), QStringList{"ali"});

    // An upload leaves a delete statement on the closed scratch query; exporting from
    // the viewer must list the log, not open that statement again.
    dm->ADOQuery1.close();
    StoreReportProject(*dm, "zamaem", QByteArray("rav"));
    log->prepare();
    EXPECT_FALSE(dm->ADOQuery1.isActive());
    log->SpeedButton1Click();
    EXPECT_EQ(count("zamaem"), 1);
    ASSERT_EQ(openerFake->opened.size(), 1);
    const QJsonObject sheet = gctest::readXlsx(openerFake->opened.front());
    const QStringList heads = {"شناسه", "نام کاربري", "آي پي",      "نام کامپيوتر",
                               "ساعت",  "تاريخ",      "شرح عمليات", "ساعت سرور"};
    for (int i = 0; i < heads.size(); ++i)
        EXPECT_EQ(cellText(sheet, QString(QChar('A' + i)) + "1"), heads[i]) << i;
    EXPECT_EQ(cellText(sheet, "B2"), "ali");
}

GC_ON_BOTH_BACKENDS(PhoneLog);

} // namespace
