#include "core/data_module.h"
#include "core/schema.h"
#include "platform/db/db_error.h"
#include "support/dm_fixture.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace gc;
using gctest::Backend;

namespace {

class Schema : public gctest::DmTest {
  protected:
    bool withSchema() const override { return false; }
    void exec(const QString& sql) { dm->ADOConnection1.execute(sql); }
};

} // namespace

TEST_P(Schema, EmptyDatabaseGetsEveryTableAndTheAdministrator) {
    const SchemaResult r = EnsureSchema(*dm);
    EXPECT_TRUE(r.complete()) << r.message().toStdString();
    EXPECT_EQ(r.message(), QString::fromUtf8("همه تنظيمات انجام شد"));
    EXPECT_EQ(SchemaTables().size(), 22u);
    for (const TableSpec& t : SchemaTables())
        EXPECT_NE(dm->ADOConnection1.tableInfo(t.name), nullptr) << t.name.toStdString();
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 1);
    EXPECT_EQ(scalar("select us from users").toString(), "admin");
    EXPECT_EQ(scalar("select ver from users").toString(), "1");
    EXPECT_EQ(scalar("select count(*) from dastrasi").toInt(), 1);
    EXPECT_EQ(scalar("select page_name from dastrasi").toString(), "karbaran");
    EXPECT_EQ(scalar("select prs_id from dastrasi").toInt(),
              scalar("select id from users").toInt());
    dm->ADOQuery1.setSql("select * from dastrasi");
    dm->ADOQuery1.open();
    for (const char* f : {"darj", "virayesh", "hazf", "namayesh"})
        EXPECT_TRUE(dm->ADOQuery1.fieldByName(f).asBoolean()) << f;

    // The server's time stamp fills itself in.
    exec("insert into log (karbar) values ('admin')");
    EXPECT_FALSE(scalar("select saat_sys from log").toString().isEmpty());
    // A width check names the column.
    EXPECT_EQ(dm->ADOConnection1.tableInfo("khodro")->column("exit_dat")->width, 10);

    // A second run changes nothing.
    const SchemaResult again = EnsureSchema(*dm);
    EXPECT_TRUE(again.complete());
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from dastrasi").toInt(), 1);
}

TEST_P(Schema, OlderLayoutGetsItsMissingTablesAndColumns) {
    exec("create table users (id int identity primary key, us nvarchar(25), ps nvarchar(25))");
    exec("insert into users (us, ps) values ('guard', 'g')");
    exec("insert into users (us, ps) values ('admin', 'a')");
    exec("create table asami (id int identity primary key, surname nvarchar(100), name "
         "nvarchar(100), uniq_code nvarchar(100), card_no nvarchar(50), vahed_tabe "
         "nvarchar(100), khodro_num nvarchar(150), mobile nvarchar(50))");
    exec("insert into asami (surname, uniq_code) values ('x', '77')");
    exec("create table otaghha (id int identity primary key, title nvarchar(100), tabaghe "
         "nvarchar(80), otagh nvarchar(70))");
    const SchemaResult r = EnsureSchema(*dm);
    EXPECT_TRUE(r.complete()) << r.message().toStdString();
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 2); // no new user
    EXPECT_EQ(dm->ADOConnection1.tableInfo("users")->column("ver")->width, 20);
    EXPECT_EQ(scalar("select nation from asami").toString(), "77");
    EXPECT_NE(dm->ADOConnection1.tableInfo("otaghha")->column("koroki"), nullptr);
    // The right row goes to the administrator, whatever its id.
    EXPECT_EQ(scalar("select prs_id from dastrasi").toInt(),
              scalar("select id from users where us='admin'").toInt());
    EXPECT_EQ(scalar("select prs_id from dastrasi").toInt(), 2);
}

TEST_P(Schema, SaysWhatCouldNotBeCreated) {
    // A table of the same name with a different shape is left alone and reported.
    exec("create table loh (id int identity primary key, dat nvarchar(10))");
    const SchemaResult r = EnsureSchema(*dm);
    EXPECT_FALSE(r.complete());
    EXPECT_TRUE(r.missing.contains("loh.shift"));
    EXPECT_FALSE(r.failures.isEmpty());
    EXPECT_TRUE(r.message().contains("loh.shift"));
}

TEST_P(Schema, CardNumbersKeepRisingAfterTheTableIsEmptied) {
    EnsureSchema(*dm);
    exec("insert into barcod (name) values ('a')");
    exec("insert into barcod (name) values ('b')");
    const int last = scalar("select max(barcod) from barcod").toInt();
    exec("delete from barcod");
    exec("insert into barcod (name) values ('c')");
    EXPECT_GT(scalar("select barcod from barcod").toInt(), last);
}

TEST_P(Schema, SharedQueriesOpenAsConfigured) {
    EnsureSchema(*dm);
    dm->ADOQ_zamaem.open();
    EXPECT_EQ(dm->ADOQ_zamaem.fieldNames(), QStringList({"ID", "pic"}));
    dm->ADOQ_otagh.open();
    EXPECT_EQ(dm->ADOQ_otagh.fieldCount(), 6);
    dm->ADOQ_resid.open();
    EXPECT_EQ(dm->ADOQ_resid.fieldCount(), 21);
    dm->ADOQ_arbabrojo_pic.open();
    // uniq_code is text, so the file-provider naming of this join never opens.
    EXPECT_THROW(dm->ADOQ_per_pic_save.open(), db::DbError);
    EXPECT_EQ(dm->queries().size(), 24);
}

GC_ON_BOTH_BACKENDS(Schema);
