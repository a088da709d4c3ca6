#include "core/accounts.h"
#include "support/dm_fixture.h"

#include <QProcess>
#include <array>

using gc::NewUser;

namespace {

class Accounts : public gctest::DmTest {};

} // namespace

TEST_P(Accounts, ABlankNameIsRefusedAndAnEmptyPasswordTaken) {
    EXPECT_EQ(gc::CreateUser(dm->ADOQuery1, "", ""), NewUser::NameEmpty);
    EXPECT_EQ(gc::CreateUser(dm->ADOQuery1, "   ", "x"), NewUser::NameEmpty);
    EXPECT_EQ(gc::CreateUser(dm->ADOQuery1, "nobody", ""), NewUser::Created);
    EXPECT_EQ(gc::CreateUser(dm->ADOQuery1, "nobody", "other"), NewUser::NameTaken);
    EXPECT_EQ(gc::CreateUser(dm->ADOQuery1, "admin", ""), NewUser::NameTaken);
    EXPECT_EQ(scalar("select count(*) from users").toInt(), 2);
    EXPECT_EQ(scalar("select ps from users where us='nobody'").toString(), "");
    // The transaction is over: the connection writes on as before.
    dm->ADOConnection1.execute("insert into phone (name) values ('x')");
    EXPECT_EQ(scalar("select count(*) from phone").toInt(), 1);
}

// Three workstations add the same 100 names at once: each name is stored once, and
// every process is told of the names the others took.
TEST_P(Accounts, ThreeWorkstationsAddingTheSameNamesStoreEachOnce) {
    constexpr int kNames = 100;
    std::array<QProcess, 3> creators;
    for (QProcess& p : creators)
        p.start(GC_USER_CREATOR,
                {dm->ADOConnection1.connectionString(), "u", QString::number(kNames)});
    int created = 0;
    for (QProcess& p : creators) {
        ASSERT_TRUE(p.waitForFinished(120000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        EXPECT_EQ(lines.count("created") + lines.count("taken"), kNames);
        created += int(lines.count("created"));
    }
    EXPECT_EQ(created, kNames);
    EXPECT_EQ(scalar("select count(*) from users where us like 'u%'").toInt(), kNames);
    EXPECT_EQ(scalar("select count(distinct us) from users where us like 'u%'").toInt(), kNames);
}

GC_ON_BOTH_BACKENDS(Accounts);
