#include "bench/support/kept_database.h"
#include "core/schema.h"
#include "platform/db/connection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using gcbench::KeptDatabaseFile;

constexpr int kRows = 3;

// A fill that counts its runs, and a check of its rows: the program's schema with rows of
// its own in the settings table.
struct Generator {
    int fills = 0;
    int rows = kRows;

    KeptDatabaseFile::Fill fill() {
        return [this](gc::db::Connection& c) {
            ++fills;
            if (!gc::EnsureSchema(c).complete())
                return false;
            QSqlQuery q(c.database());
            for (int i = 0; i < rows; ++i)
                q.exec(QStringLiteral("insert into setting (component, cmt) values ('t', '%1')")
                           .arg(i));
            return true;
        };
    }
    static KeptDatabaseFile::Check check() {
        return [](gc::db::Connection& c) {
            QSqlQuery q(c.database());
            if (!q.exec("select count(*) from setting where component='t'") || !q.next())
                return QStringLiteral("no settings table");
            return q.value(0).toInt() == kRows ? QString()
                                               : QStringLiteral("%1 rows").arg(q.value(0).toInt());
        };
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class KeptDatabase : public ::testing::Test {
  protected:
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    QTemporaryDir dir;
    Generator generator;
};

TEST_F(KeptDatabase, IsFilledOnceAndKeptForLaterRuns) {
    const KeptDatabaseFile first(dir.path(), "visits", 1);
    ASSERT_EQ(first.prepare(generator.fill(), Generator::check()), "");
    const KeptDatabaseFile later(dir.path(), "visits", 1);
    ASSERT_EQ(later.prepare(generator.fill(), Generator::check()), "");
    EXPECT_EQ(generator.fills, 1);
    EXPECT_EQ(later.path(), first.path());
    EXPECT_EQ(files(), QStringList{QFileInfo(first.path()).fileName()});
}

// An empty file is what a run stopped during the fill used to leave; a foreign file or a
// short one must not be measured either.
TEST_F(KeptDatabase, FileThatFailsItsCheckIsMadeAgain) {
    const KeptDatabaseFile kept(dir.path(), "visits", 1);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("not a database at all")}) {
        writeFile(kept.path(), bytes);
        EXPECT_EQ(kept.prepare(generator.fill(), Generator::check()), "");
    }
    // A file a row short, as an unchecked fill of another version left it.
    generator.rows = kRows - 1;
    ASSERT_EQ(KeptDatabaseFile(dir.path(), "visits", 2)
                  .prepare(generator.fill(), [](auto&) { return QString(); }),
              "");
    const KeptDatabaseFile shortFile(dir.path(), "visits", 2);
    generator.rows = kRows;
    EXPECT_EQ(shortFile.prepare(generator.fill(), Generator::check()), "");
    EXPECT_EQ(generator.fills, 4);
    EXPECT_EQ(files(), QStringList{QFileInfo(shortFile.path()).fileName()});
}

// The name alone does not vouch for the schema: an index added to a kept file makes some
// benchmarks faster than the program's own schema would.
TEST_F(KeptDatabase, FileWhoseSchemaDiffersIsMadeAgain) {
    const KeptDatabaseFile kept(dir.path(), "visits", 1);
    ASSERT_EQ(kept.prepare(generator.fill(), Generator::check()), "");
    {
        gc::db::Connection c("test_kept_index");
        c.setConnectionString(gcbench::fileConnectionString(kept.path()));
        c.open();
        EXPECT_EQ(gcbench::schemaDigest(c.database()), gcbench::schemaVersion());
        ASSERT_TRUE(QSqlQuery(c.database()).exec("create index added on setting (cmt)"));
        EXPECT_NE(gcbench::schemaDigest(c.database()), gcbench::schemaVersion());
    }
    ASSERT_EQ(kept.prepare(generator.fill(), Generator::check()), "");
    EXPECT_EQ(generator.fills, 2);
    gc::db::Connection c("test_kept_rebuilt");
    c.setConnectionString(gcbench::fileConnectionString(kept.path()));
    c.open();
    EXPECT_EQ(gcbench::schemaDigest(c.database()), gcbench::schemaVersion());
    EXPECT_FALSE(QSqlQuery(c.database()).exec("drop index added"));
}

TEST_F(KeptDatabase, NewFileThatFailsItsCheckStopsTheRunAndLeavesNothing) {
    const KeptDatabaseFile kept(dir.path(), "visits", 1);
    generator.rows = kRows + 1;
    const QString error = kept.prepare(generator.fill(), Generator::check());
    EXPECT_EQ(error, "4 rows");
    EXPECT_TRUE(files().isEmpty()) << files().join(' ').toStdString();

    const QString refused = kept.prepare([](auto&) { return false; }, Generator::check());
    EXPECT_TRUE(refused.startsWith("the data could not be written")) << refused.toStdString();
    EXPECT_TRUE(files().isEmpty()) << files().join(' ').toStdString();
}

TEST_F(KeptDatabase, NameCarriesGeneratorAndSchemaVersions) {
    const QString one = QFileInfo(KeptDatabaseFile(dir.path(), "visits", 1).path()).fileName();
    const QString two = QFileInfo(KeptDatabaseFile(dir.path(), "visits", 2).path()).fileName();
    EXPECT_EQ(one, "visits-g1-s" + gcbench::schemaVersion() + ".accdb");
    EXPECT_NE(one, two);
    EXPECT_EQ(gcbench::schemaVersion().size(), 10);
}

// A run stopped during the fill leaves its partial file; one still filling keeps its own.
TEST_F(KeptDatabase, PartialFilesOfStoppedRunsAreRemoved) {
    QProcess ended;
    ended.start("true");
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    QProcess running;
    running.start("sleep", {"60"});
    ASSERT_TRUE(running.waitForStarted());

    const KeptDatabaseFile kept(dir.path(), "visits", 1);
    const QString stopped = kept.path() + ".partial-" + QString::number(endedPid);
    const QString filling = kept.path() + ".partial-" + QString::number(running.processId());
    for (const QString& partial : {stopped, stopped + "-wal", filling})
        writeFile(partial, "half");
    // Another program's file beside them stays.
    writeFile(dir.filePath("visits-notes.txt"), "mine");

    ASSERT_EQ(kept.prepare(generator.fill(), Generator::check()), "");
    QStringList expected{QFileInfo(kept.path()).fileName(), QFileInfo(filling).fileName(),
                         "visits-notes.txt"};
    expected.sort();
    EXPECT_EQ(files(), expected);
    running.kill();
    running.waitForFinished();
}

} // namespace
