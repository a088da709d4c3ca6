#include "platform/db/sqlite_file.h"

#include "platform/db/db_error.h"
#include "platform/text/bidi.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gc::db {

namespace {

// As many links as the system itself follows before it gives up on a loop.
constexpr int kMostLinks = 40;

// The path a chain of links ends at, also when nothing is there yet.
QString linkedPath(const QString& path) {
    QString at = path;
    for (int hop = 0; hop < kMostLinks && QFileInfo(at).isSymLink(); ++hop)
        at = QFileInfo(at).symLinkTarget();
    return at;
}

QString notMadeMessage(const QString& path, const QString& reason) {
    return QString::fromUtf8("فايل بانک اطلاعاتي %1 ساخته نشد: %2")
        .arg(text::quotedLtr(path), text::isolatedLtr(reason));
}

} // namespace

sqlite3* engineHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

void refuseUnlessRegularFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return;
    throw DbError(
        QString::fromUtf8("%1 فايل نيست (پوشه، دستگاه يا لوله است) و بانک اطلاعاتي نمي شود")
            .arg(text::quotedLtr(path)));
}

// Made exclusively where the links end, so that it is never someone else's file; its mode is
// set after the making, which the umask cannot narrow.
void createPrivateFile(const QString& path) {
    const QString target = linkedPath(path);
    const int fd = ::open(QFile::encodeName(target).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        const int error = errno;
        // Another copy of the program made it a moment ago: SQLite opens that one.
        if (error == EEXIST && QFileInfo(target).isFile())
            return;
        throw DbError(notMadeMessage(path, qt_error_string(error)));
    }
    const bool privateMode = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    const int modeError = errno;
    ::close(fd);
    if (!privateMode)
        throw DbError(notMadeMessage(path, qt_error_string(modeError)));
}

bool holdsLog(const QString& path) {
    return QFileInfo(path + "-wal").size() > 0;
}

void keepLogOnClose(const QSqlDatabase& db, bool keep) {
    sqlite3* engine = engineHandle(db);
    if (!engine || sqlite3_db_config(engine, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, keep ? 1 : 0,
                                     nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8("فايل بانک اطلاعاتي %1 بدون تغيير بسته نمي شود")
                          .arg(text::quotedLtr(db.databaseName())));
}

} // namespace gc::db
