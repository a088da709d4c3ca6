// The destination is never the source, whatever its spelling; the source cannot be
// written through the run's connection.
#include "core/transfer/ends.h"
#include "platform/text/bidi.h"
#include "transfer_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
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

// A FIFO named as the source is refused by name at once; should its open ever wait for a
// writer, one is given after a while, so the test ends either way.
TEST(SpecialSource, AFifoIsRefusedWithoutWaiting) {
    TestDb destination(Backend::SQLite);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("source.accdb");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 1000 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done)
            return;
        ADD_FAILURE() << "the source's open waited for a writer";
        if (const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            fd >= 0)
            ::close(fd);
    });
    auto o = everything(destination, destination);
    o.source = fileString(fifo);
    const TransferResult r = transfer(o);
    done = true;
    writer.join();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(gc::text::quotedLtr(fifo)) &&
                r.message.contains(QString::fromUtf8("فايل نيست")))
        << r.message.toStdString();
    EXPECT_EQ(destination.count("phone"), 0);
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

// File modes bind this thread while it lives, also when the tests run as root: the rights to
// pass over them are set aside from the thread's effective set, and given back.
class FileModesBind {
  public:
    FileModesBind() {
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct bound[2];
        std::memcpy(bound, saved_, sizeof bound);
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            bound[cap / 32].effective &= ~(1u << (cap % 32));
        changed_ = syscall(SYS_capset, &header_, bound) == 0;
    }
    ~FileModesBind() {
        if (changed_)
            syscall(SYS_capset, &header_, saved_);
    }
    FileModesBind(const FileModesBind&) = delete;
    FileModesBind& operator=(const FileModesBind&) = delete;

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};

class ReadOnlyMedia : public PairTest {};

// A file in write-ahead-log mode on read-only media (the file 0444, its folder 0555, no -shm)
// is copied from a snapshot, and the log says so.
TEST_P(ReadOnlyMedia, AWriteAheadLogFileIsCopiedFromASnapshot) {
    if (GetParam().from != Backend::SQLite)
        GTEST_SKIP() << "a file source";
    TestDb seeded(Backend::SQLite);
    TestDb destination(GetParam().to);
    seedSource(seeded);
    const auto before = seeded.counts();
    seeded.c->close();
    ASSERT_EQ(seeded.client("pragma journal_mode"), QStringList{"wal"});
    QTemporaryDir media;
    const QString file = media.filePath("gate.db");
    ASSERT_TRUE(QFile::copy(seeded.file(), file));
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(media.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    auto o = everything(seeded, destination);
    o.source = "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + file;
    o.deleteOld = true;
    TransferResult r;
    {
        const FileModesBind binding;
        if (QFile probe(media.filePath("probe")); probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(media.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            GTEST_SKIP() << "file modes do not bind this process: no read-only media to copy from";
        }
        r = transfer(o);
    }
    QFile::setPermissions(media.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_TRUE(r.log.first().contains(QString::fromUtf8("همچون نسخه اي ثابت")) &&
                r.log.first().contains(QChar(0x2066) + file + QChar(0x2069)))
        << r.log.first().toStdString();
    EXPECT_EQ(destination.count("phone"), before.value("phone"));
    EXPECT_EQ(destination.count("asami"), before.value("asami"));
    EXPECT_FALSE(QFile::exists(file + "-shm"));
    EXPECT_FALSE(QFile::exists(file + "-wal"));
}

INSTANTIATE_TEST_SUITE_P(Pairs, ReadOnlyMedia, ::testing::ValuesIn(allPairs()), pairName);

} // namespace
