#include "platform/xlsx/temp_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc::xlsx;

namespace {

// The user's temporary folder inside a folder of the test's own.
class TempFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.path().toUtf8());
        folder = userTempFolder(&error);
        ASSERT_FALSE(folder.isEmpty()) << error.toStdString();
    }
    void TearDown() override {
        if (saved.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", saved);
    }
    QString file(const QString& name, const QDateTime& changed = QDateTime::currentDateTime()) {
        QFile f(QDir(folder).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();
        EXPECT_TRUE(f.setFileTime(changed, QFileDevice::FileModificationTime));
        return f.fileName();
    }
    QStringList left() const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                      QDir::Name);
    }

    QTemporaryDir tmp;
    QByteArray saved;
    QString folder;
    QString error;
};

} // namespace

TEST_F(TempFiles, ExitRemovesThisRunsFilesAndStartRemovesDayOldLeftovers) {
    const QString mine = createUniqueFile(folder, "export", "xlsx", &error);
    ASSERT_FALSE(mine.isEmpty()) << error.toStdString();
    EXPECT_TRUE(QFileInfo(mine).fileName().startsWith(
        QStringLiteral("export-%1-").arg(QCoreApplication::applicationPid())));
    file("picture-1-abcdef.jpg");                                           // another run, now
    file("export-2-abcdef.xlsx", QDateTime::currentDateTime().addDays(-2)); // a leftover
    file("sketch-3-abcdef.bmp", QDateTime::currentDateTime().addSecs(-23 * 3600));
    ASSERT_TRUE(QFile::link(tmp.filePath("elsewhere"), QDir(folder).filePath("planted.bmp")));
    QDir(folder).mkdir("sub");

    EXPECT_EQ(removeFilesOlderThan(QDateTime::currentDateTime().addDays(-1)), 2);
    EXPECT_EQ(left(), (QStringList{QFileInfo(mine).fileName(), "picture-1-abcdef.jpg",
                                   "sketch-3-abcdef.bmp", "sub"}));
    EXPECT_EQ(removeThisRunsFiles(), 1);
    EXPECT_EQ(left(), (QStringList{"picture-1-abcdef.jpg", "sketch-3-abcdef.bmp", "sub"}));
}
