#include "core/connection_settings.h"
#include "platform/db/connection_string.h"
#include "platform/settings/registry.h"
#include "platform/text/codepage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc;

namespace {
const QString kTail = ";Use Procedure for Prepare=1;Auto Translate=True;Packet Size=4096;"
                      "Workstation ID=GATECONTROL;Use Encryption for Data=False;Tag with column "
                      "collation when possible=False";

ConnectionSettings settings(const QString& auth, const QString& type) {
    return {type, "srv", "Tovarmesk", "sa", auth, "pw"};
}
} // namespace

TEST(BuildConnectionString, EveryFormOfTheTable) {
    EXPECT_EQ(BuildConnectionString(settings("SQL Server", "")).value(),
              "Provider=SQLOLEDB.1;Password=pw;Persist Security Info=True;User ID=sa;Initial "
              "Catalog=Tovarmesk;Data Source=srv" +
                  kTail);
    EXPECT_EQ(BuildConnectionString(settings("Windows", "64-bit")).value(),
              "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;User "
              "ID=sa;Initial Catalog=Tovarmesk;Data Source=srv" +
                  kTail);
    EXPECT_EQ(BuildConnectionString(settings("Access", "32-bit")).value(),
              "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=srv;User Id=sa;Jet OLEDB:Database "
              "Password=pw;");
    EXPECT_EQ(BuildConnectionString(settings("Access", "64-bit")).value(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=srv;Persist Security Info=False");
    EXPECT_FALSE(BuildConnectionString(settings("Access", "")).has_value());
    EXPECT_FALSE(BuildConnectionString(settings("sql server", "32-bit")).has_value());
    EXPECT_FALSE(BuildConnectionString(settings("", "32-bit")).has_value());
}

TEST(BuildConnectionString, SemicolonsAndQuotesComeBackIntactAndAddNoKeyword) {
    const QStringList values = {"x;Integrated Security=SSPI",
                                "x\";Integrated Security=SSPI",
                                "a\"b;c",
                                "it's;",
                                "\"",
                                "'",
                                "a\"b'c;d\"\"",
                                " 'lead",
                                "p;Provider=Microsoft.Jet.OLEDB.4.0"};
    for (const QString& v : values) {
        SCOPED_TRACE(v.toStdString());
        auto s = settings("SQL Server", "32-bit");
        s.Password = v;
        s.UserName = v;
        auto t = db::connectionTarget(BuildConnectionString(s).value());
        EXPECT_EQ(t.engine, db::Engine::PostgreSQL);
        EXPECT_FALSE(t.integratedSecurity);
        EXPECT_EQ(t.password, v);
        EXPECT_EQ(t.user, v);
        EXPECT_EQ(t.database, "Tovarmesk");
        EXPECT_EQ(t.host, "srv");

        s = settings("Access", "64-bit");
        s.SqlServerName = "/data/" + v + ".mdb";
        t = db::connectionTarget(BuildConnectionString(s).value());
        EXPECT_EQ(t.engine, db::Engine::SQLite);
        EXPECT_EQ(t.file, "/data/" + v + ".mdb");
    }
}

TEST(Password, ScrambleAndUnscramble) {
    EXPECT_EQ(ScramblePassword("dcb").value(), "abc");
    EXPECT_EQ(UnscramblePassword("abc"), "dcb");
    EXPECT_EQ(UnscramblePassword(""), "");
    EXPECT_EQ(ScramblePassword("").value(), "");
    EXPECT_FALSE(ScramblePassword(QString::fromUtf8("pass✓")).has_value());
}

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", dir.path().toUtf8()); }
    QTemporaryDir dir;
};

TEST_F(Registry, EveryByteOfAPasswordSurvivesTheStore) {
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes.append(char(b));
    const QString typed = codepage::decode(bytes);
    ASSERT_FALSE(platform::RegistryKey::exists(kSettingsKey));
    auto key = platform::RegistryKey::open(kSettingsKey, true);
    ASSERT_TRUE(key.has_value());
    ASSERT_TRUE(key->writeString(kValPassword, ScramblePassword(typed).value()));
    ASSERT_TRUE(key->writeString(kValAuthentication, "Access"));
    const auto read = ReadConnectionSettings();
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Password, typed);
    EXPECT_EQ(read->Authentication, "Access");
    EXPECT_EQ(read->UserName, ""); // a missing value reads as empty
    const QString file = dir.filePath("gatecontrol/registry.ini");
    EXPECT_EQ(QFile::permissions(file) & (QFile::ReadGroup | QFile::ReadOther), 0);
}
