#include "core/data_module.h"
#include "core/preset_lists.h"
#include "core/schema.h"
#include "platform/db/sql_text.h"
#include "platform/text/codepage.h"
#include "platform/ui/query_grid.h"
#include "support/clicking.h"
#include "support/dm_fixture.h"
#include "support/scripted_dialogs.h"
#include "windows/shell/setting_window.h"
#include "windows/shell/users_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <gtest/gtest.h>

using namespace gc;
using gctest::Backend;

namespace {

class Admin : public gctest::DmTest {
  protected:
    void addUser(Tusers& w, const QString& name) {
        w.us->setText(name);
        w.ps->setText("p");
        w.ins_btnClick();
    }
    gctest::ScriptedDialogs dialogs;
};

using Users = Admin;
using Settings = Admin;

} // namespace

TEST_P(Users, AddsRefusesDuplicatesAndNeverDeletesTheAdministrator) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("ثبت شد"));
    addUser(w, "admin");
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("خطا، نام كاربري تكراري است"));
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 2);

    ASSERT_TRUE(dm->adoq_user.locate("us", "admin"));
    w.N1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("امکان حذف مدير نيست"));
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 2);
}

// The add button keeps the focus after a save: a stray Enter on the emptied form adds
// nobody. An empty password is a password.
TEST_P(Users, EnterOnAnEmptyFormAddsNoUser) {
    Tusers w(*dm);
    w.prepare();
    w.show();
    w.ins_btn->setFocus();
    QTest::keyClick(w.ins_btn, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8("لطفا نام كاربري را وارد نماييد")});
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 1);
    w.us->setText("guard");
    QTest::keyClick(w.ins_btn, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("ثبت شد"));
    EXPECT_EQ(scalar("select ps from users where us='guard'").toString(), "");
}

// Another workstation changes the rights of the user this window shows: a page this
// window did not touch keeps that change, a page both changed is refused.
TEST_P(Users, RightsSavedMeanwhileAreKeptOrTheSaveIsRefused) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    w.prepare();
    ASSERT_TRUE(dm->adoq_user.locate("us", "guard"));
    w.DBGrid1CellClick();
    const QString id = scalar("select id from users where us='guard'").toString();
    const auto otherWorkstationGrants = [&](const QString& page) {
        ASSERT_TRUE(raw("insert into dastrasi (prs_id, page_name, darj, virayesh, hazf, namayesh) "
                        "values (" +
                        id + ", '" + page + "', " + (pg() ? "true" : "1") + ", " +
                        (pg() ? "false" : "0") + ", " + (pg() ? "false" : "0") + ", " +
                        (pg() ? "true" : "1") + ")"));
    };
    const auto rows = [&](const QString& page) {
        return scalar("select count(*) from dastrasi where prs_id=" + id + " and page_name='" +
                      page + "'")
            .toInt();
    };
    w.ins_btn2Click(); // fourteen rows, all false
    otherWorkstationGrants("amval");
    EXPECT_EQ(rows("amval"), 2);
    w.box("prs", Tusers::Show)->setChecked(true);
    w.ins_btn2Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("ثبت شد"));
    EXPECT_EQ(rows("amval"), 2) << "a page this window did not change is not written";
    EXPECT_EQ(scalar("select namayesh from dastrasi where prs_id=" + id + " and page_name='prs'")
                  .toBool(),
              true);

    otherWorkstationGrants("khodro");
    w.box("khodro", Tusers::Del)->setChecked(true);
    w.ins_btn2Click();
    EXPECT_TRUE(dialogs.texts().last().contains(QString::fromUtf8("«صفحه خودرو»")))
        << dialogs.texts().last().toStdString();
    EXPECT_EQ(rows("khodro"), 2) << "nothing written";
}

TEST_P(Users, AFreshAdministratorGrantsRightsWithTheMouse) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    ASSERT_TRUE(dm->adoq_user.locate("us", "guard"));
    w.show();
    const QList<QWidget*> targets{w.box("khodro", Tusers::Show), w.box("khodro", Tusers::Ins),
                                  w.ins_btn2};
    for (QWidget* target : targets)
        EXPECT_TRUE(gctest::clickCentre(target) == target) << target->objectName().toStdString();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("ثبت شد"));
    EXPECT_EQ(scalar("select count(*) from dastrasi where page_name='khodro' and prs_id=(select id "
                     "from users where us='guard')")
                  .toInt(),
              1);
    dm->ADOQuery1.setSql("select * from dastrasi where page_name='khodro' and prs_id=(select id "
                         "from users where us='guard')");
    dm->ADOQuery1.open();
    EXPECT_TRUE(dm->ADOQuery1.fieldByName("namayesh").asBoolean());
    EXPECT_TRUE(dm->ADOQuery1.fieldByName("darj").asBoolean());
    EXPECT_FALSE(dm->ADOQuery1.fieldByName("hazf").asBoolean());
}

TEST_P(Users, AllBoxesUntickedGivesFourteenFalseRows) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    ASSERT_TRUE(dm->adoq_user.locate("us", "guard"));
    w.ins_btn2Click();
    const QString id = scalar("select id from users where us='guard'").toString();
    EXPECT_EQ(scalar("select count(*) from dastrasi where prs_id=" + id).toInt(), 14);
    dm->ADOQuery1.setSql("select * from dastrasi where prs_id=" + id);
    dm->ADOQuery1.open();
    for (dm->ADOQuery1.first(); !dm->ADOQuery1.eof(); dm->ADOQuery1.next())
        for (const char* f : {"darj", "virayesh", "hazf", "namayesh"})
            EXPECT_FALSE(dm->ADOQuery1.fieldByName(f).asBoolean());
}

TEST_P(Users, KeyboardMoveReloadsTheBoxesBeforeASave) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    w.prepare(); // ordered by name: admin, guard
    ASSERT_TRUE(dm->adoq_user.locate("us", "admin"));
    EXPECT_TRUE(w.box("karbaran", Tusers::Show)->isChecked());
    w.DBGrid1->setFocus();
    QTest::keyClick(w.DBGrid1, Qt::Key_Down);
    EXPECT_EQ(dm->adoq_user.fieldByName("us").asString(), "guard");
    EXPECT_FALSE(w.box("karbaran", Tusers::Show)->isChecked());
    w.box("khodro", Tusers::Show)->setChecked(true);
    w.ins_btn2Click();
    // The administrator's own rights are untouched.
    EXPECT_EQ(scalar("select count(*) from dastrasi where prs_id=(select id from users where "
                     "us='admin')")
                  .toInt(),
              1);
}

TEST_P(Users, AFailureInTheMiddleOfASaveChangesNothing) {
    Tusers w(*dm);
    w.prepare();
    ASSERT_TRUE(dm->adoq_user.locate("us", "admin"));
    if (pg()) {
        ASSERT_TRUE(raw("create function gc_fail() returns trigger as $$ begin if "
                        "new.page_name = 'loh' then raise exception 'injected'; end if; return "
                        "new; end $$ language plpgsql"));
        ASSERT_TRUE(raw("create trigger fail_loh before insert on dastrasi for each row execute "
                        "function gc_fail()"));
    } else {
        ASSERT_TRUE(raw("create trigger fail_loh before insert on dastrasi when "
                        "new.page_name='loh' begin select raise(abort, 'injected'); end"));
    }
    w.setColumn(Tusers::Ins, true);
    w.ins_btn2Click();
    EXPECT_TRUE(dialogs.texts().last().contains("injected"));
    EXPECT_EQ(scalar("select count(*) from dastrasi").toInt(), 1);
    EXPECT_EQ(scalar("select page_name from dastrasi").toString(), "karbaran");
}

TEST_P(Users, DeletingAUserTakesItsRightsAndItsIdIsNotReused) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    ASSERT_TRUE(dm->adoq_user.locate("us", "guard"));
    const int id = dm->adoq_user.fieldByName("id").asInteger();
    w.ins_btn2Click();
    w.N1Click();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("حذف شد"));
    EXPECT_EQ(scalar("select count(*) from dastrasi where prs_id=" + QString::number(id)).toInt(),
              0);
    addUser(w, "other");
    EXPECT_GT(scalar("select id from users where us='other'").toInt(), id);
}

TEST_P(Users, AColumnBoxChangesOnlyItsOwnFourteenBoxes) {
    Tusers w(*dm);
    w.prepare(); // the administrator's rights: all four on "karbaran"
    w.edit_chek->click();
    for (const PageRight& p : PageRights()) {
        const bool own = p.key == "karbaran";
        EXPECT_TRUE(w.box(p.key, Tusers::Edit)->isChecked());
        EXPECT_EQ(w.box(p.key, Tusers::Ins)->isChecked(), own);
        EXPECT_EQ(w.box(p.key, Tusers::Del)->isChecked(), own);
    }
    w.edit_chek->click();
    EXPECT_FALSE(w.box("karbaran", Tusers::Edit)->isChecked());
    EXPECT_EQ(w.findChildren<QCheckBox*>().size(), 60);
    EXPECT_NE(w.findChild<QCheckBox*>("set_show"), nullptr);
}

// The first row's boxes show whether the clicked user holds the whole column, never what
// the user clicked before had: one click then fills a column, the next clears it.
TEST_P(Users, TheColumnBoxesShowTheClickedUsersRights) {
    Tusers w(*dm);
    w.prepare();
    addUser(w, "guard");
    w.prepare(); // ordered by name: admin, guard
    w.show();
    const auto columnTicked = [&](Tusers::Flag flag) {
        for (const PageRight& p : PageRights())
            if (!w.box(p.key, flag)->isChecked())
                return false;
        return true;
    };
    ASSERT_EQ(dm->adoq_user.fieldByName("us").asString(), "admin");
    gctest::clickCentre(w.show_chek);
    ASSERT_TRUE(w.show_chek->isChecked());
    ASSERT_TRUE(columnTicked(Tusers::Show));

    ASSERT_TRUE(dm->adoq_user.locate("us", "guard"));
    for (QCheckBox* column : {w.ins_chek, w.edit_chek, w.del_chek, w.show_chek})
        EXPECT_FALSE(column->isChecked()) << column->objectName().toStdString();
    EXPECT_FALSE(w.box("amval", Tusers::Show)->isChecked());
    gctest::clickCentre(w.show_chek);
    EXPECT_TRUE(columnTicked(Tusers::Show)) << "one click fills the column";
    gctest::clickCentre(w.box("loh", Tusers::Show));
    EXPECT_FALSE(w.show_chek->isChecked()) << "a page taken out leaves the column incomplete";
    gctest::clickCentre(w.box("loh", Tusers::Show));
    EXPECT_TRUE(w.show_chek->isChecked());
    w.ins_btn2Click();

    ASSERT_TRUE(dm->adoq_user.locate("us", "admin"));
    EXPECT_FALSE(w.show_chek->isChecked());
    EXPECT_TRUE(w.box("karbaran", Tusers::Show)->isChecked());
    ASSERT_TRUE(dm->adoq_user.locate("us", "guard"));
    EXPECT_TRUE(w.show_chek->isChecked()) << "the saved full column";
    EXPECT_FALSE(w.ins_chek->isChecked());
    gctest::clickCentre(w.show_chek);
    EXPECT_FALSE(w.box("amval", Tusers::Show)->isChecked()) << "one click clears it";
}

TEST_P(Users, CommandsOnAnEmptyGridDoNothing) {
    Tusers w(*dm);
    dm->adoq_user.setSql("select * from users where us='nobody'");
    dm->adoq_user.open();
    w.N1Click();
    w.ins_btn2Click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(scalar("select count(*) from dastrasi").toInt(), 1);
}

TEST_P(Settings, DuplicatesDefaultsAndTheLikeMatch) {
    Tsetting w(*dm);
    w.prepare();
    w.cmt->setText(QString::fromUtf8("درب شرقي"));
    w.ins_btnClick(); // no list chosen
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("لطفا مقدار مناسب را وارد نماييد"));
    EXPECT_EQ(scalar("select count(*) from setting").toInt(), 0);

    w.component->setCurrentText(presets::kDestination);
    w.ins_btnClick();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("ثبت شد"));
    w.ins_btnClick();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("تكراري است"));
    w.component->setCurrentText(presets::kVisitorDestination);
    w.ins_btnClick();
    EXPECT_EQ(dialogs.texts().last(), QString::fromUtf8("ثبت شد"));
    w.cmt->setText(QString::fromUtf8("اتاق 2"));
    w.ins_btnClick();

    w.component->setCurrentText(presets::kDestination);
    w.componentChange(); // "مقصد" shows both lists
    EXPECT_EQ(dm->adoq_set.recordCount(), 3);

    w.component->setCurrentText(presets::kVisitorDestination);
    w.componentChange();
    ASSERT_TRUE(dm->adoq_set.locate("cmt", QString::fromUtf8("درب شرقي")));
    w.N2Click();
    ASSERT_TRUE(dm->adoq_set.locate("cmt", QString::fromUtf8("اتاق 2")));
    w.N2Click();
    EXPECT_EQ(presets::defaultValue(dm->ADOQuery1, presets::kVisitorDestination),
              QString::fromUtf8("اتاق 2"));
    EXPECT_EQ(scalar("select count(*) from setting where def='1'").toInt(), 1);

    ASSERT_TRUE(dm->adoq_set.locate("cmt", QString::fromUtf8("اتاق 2")));
    w.N1Click();
    EXPECT_EQ(presets::values(dm->ADOQuery1, presets::kVisitorDestination),
              QStringList{QString::fromUtf8("درب شرقي")});
}

TEST_P(Settings, NamesAreStoredWithTheirExactLetters) {
    Tsetting w(*dm);
    w.cmt->setText("x");
    for (const QString& name : presets::listNames()) {
        w.component->setCurrentText(name);
        w.ins_btnClick();
    }
    EXPECT_EQ(scalar("select count(*) from setting").toInt(), 14);
    const auto bytes = [&](const QString& name) {
        return codepage::encode(
                   scalar("select component from setting where component=" + db::quoted(name))
                       .toString())
            .value_or(QByteArray());
    };
    EXPECT_TRUE(bytes(presets::kParking).contains("\xDF\xED")); // Arabic kaf, Arabic yeh
    EXPECT_TRUE(bytes(presets::kGuardPlace).contains('\x98'));  // Persian kaf
    // A reader spelling the name with the other kaf finds nothing.
    QString persianKaf = presets::kOwner;
    persianKaf.replace(QChar(0x0643), QChar(0x06A9));
    EXPECT_TRUE(presets::values(dm->ADOQuery1, persianKaf).isEmpty());
    EXPECT_EQ(presets::values(dm->ADOQuery1, presets::kOwner), QStringList{"x"});
}

TEST_P(Settings, DeletePasswordIsTheFirstValue) {
    EXPECT_EQ(presets::deletePassword(dm->adoq_set), "");
    raw(QString::fromUtf8(
        "insert into setting (component, cmt, def) values ('رمز حذف', 's3', '')"));
    raw(QString::fromUtf8(
        "insert into setting (component, cmt, def) values ('رمز حذف', 'x9', '')"));
    EXPECT_EQ(presets::deletePassword(dm->adoq_set), "s3");
}

GC_ON_BOTH_BACKENDS(Users);
GC_ON_BOTH_BACKENDS(Settings);
