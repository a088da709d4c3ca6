// The destination is never the source, whatever its spelling; the source cannot be
// written through the run's connection.
#include "core/transfer/ends.h"
#include "transfer_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <unistd.h>

using namespace gctest;
using gc::transfer::TransferResult;

namespace {

QString fileString(const QString& path) {
    return "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + path +
           ";User Id=admin;Jet OLEDB:Database Password=507913;";
}

QString serverString(const QString& dataSource, const QString& database) {
    return "Provider=SQLOLEDB.1;Password=x;Persist Security Info=True;User ID=gc;Initial "
           "Catalog=" +
           database + ";Data Source=" + dataSource + ";Workstation ID=TEST";
}

// Runs every group with the delete box ticked into `destination`; expects a refusal and
// the source untouched.
void expectRefused(TestDb& source, const QString& destination) {
    const auto before = source.counts();
    const QByteArray hash = source.pg() ? QByteArray() : source.fileHash();
    auto o = everything(source, source);
    o.destination = destination;
    o.deleteOld = true;
    const TransferResult r = transfer(o);
    EXPECT_FALSE(r.ok) << destination.toStdString();
    EXPECT_TRUE(r.message.contains(gc::transfer::sameDatabaseMessage())) << r.message.toStdString();
    EXPECT_TRUE(r.log.isEmpty());
    EXPECT_EQ(source.counts(), before);
    if (!source.pg()) {
        EXPECT_EQ(source.fileHash(), hash);
    }
}

TEST(SameDatabase, TheSameFileByAnyPathIsRefused) {
    TestDb source(Backend::SQLite);
    seedSource(source);
    const QFileInfo file(source.file());
    const QString dir = file.absolutePath();

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir));
    expectRefused(source, fileString(file.fileName()));
    expectRefused(source, fileString("./" + file.fileName()));
    QDir::setCurrent(previous);

    expectRefused(source, fileString(dir + "/./" + file.fileName()));
    const QString symlink = dir + "/link-to-source.accdb";
    ASSERT_TRUE(QFile::link(source.file(), symlink));
    expectRefused(source, fileString(symlink));
    const QString hardLink = dir + "/hard-link-to-source.accdb";
    ASSERT_EQ(::link(source.file().toLocal8Bit().constData(), hardLink.toLocal8Bit().constData()),
              0);
    expectRefused(source, fileString(hardLink));
}

TEST(SameDatabase, TheSameServerDatabaseByAnyHostIsRefused) {
    if (!postgresAvailable())
        GTEST_SKIP() << "no PostgreSQL test server";
    TestDb source(Backend::PostgreSQL);
    seedSource(source);
    const QString database = gc::db::connectionTarget(source.connectionString).database;
    const QString port = postgresDataSource().section(',', 1);
    expectRefused(source, serverString("localhost," + port, database));
    // The server's socket folder instead of a network address.
    expectRefused(source, serverString(qEnvironmentVariable("GC_PG_DIR") + "," + port, database));

    // Another database of the same server is a destination like any other.
    TestDb other(Backend::PostgreSQL);
    auto o = everything(source, other);
    o.destination = serverString("localhost," + port,
                                 gc::db::connectionTarget(other.connectionString).database);
    const TransferResult r = transfer(o);
    EXPECT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(other.count("phone"), 2);
}

class ReadOnlySource : public PairTest {};

TEST_P(ReadOnlySource, NothingCanBeWrittenThroughTheSourceConnection) {
    TestDb source(GetParam().from);
    TestDb destination(GetParam().to);
    seedSource(source);
    gc::transfer::Ends ends(source.connectionString, destination.connectionString, "readonly");
    QSqlQuery q(ends.source.database());
    EXPECT_FALSE(q.exec("delete from phone"));
    EXPECT_EQ(source.count("phone"), 2);
}

INSTANTIATE_TEST_SUITE_P(Pairs, ReadOnlySource, ::testing::ValuesIn(allPairs()), pairName);

} // namespace
