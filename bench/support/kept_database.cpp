#include "bench/support/kept_database.h"

#include "core/schema.h"
#include "platform/db/connection.h"
#include "platform/db/db_error.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace gcbench {

namespace {

const QString kConnectionName = QStringLiteral("gcbench_kept");

// The file with the journals SQLite may leave beside it after a crash.
void removeDatabaseFiles(const QString& file) {
    for (const char* end : {"", "-wal", "-shm", "-journal"})
        QFile::remove(file + end);
}

bool processAlive(qint64 pid) {
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// Opens `file` (made empty when missing) and hands the connection to `use`.
QString withConnection(const QString& file,
                       const std::function<QString(gc::db::Connection&)>& use) {
    gc::db::Connection c(kConnectionName);
    c.setConnectionString(fileConnectionString(file));
    try {
        c.open();
    } catch (const gc::db::DbError& e) {
        return e.message();
    }
    return use(c);
}

} // namespace

QString fileConnectionString(const QString& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file;
}

QString schemaDigest(const QSqlDatabase& db) {
    QSqlQuery q(db);
    if (!q.exec("select sql from sqlite_master where sql is not null order by type, name"))
        return {};
    QStringList statements;
    while (q.next())
        statements << q.value(0).toString();
    if (statements.isEmpty())
        return {};
    return QString::fromLatin1(
        QCryptographicHash::hash(statements.join('\n').toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(10));
}

QString schemaVersion() {
    static const QString version = [] {
        QTemporaryDir dir;
        QString digest;
        const QString error =
            withConnection(dir.filePath("schema.accdb"), [&digest](gc::db::Connection& c) {
                gc::EnsureSchema(c);
                digest = schemaDigest(c.database());
                return QString();
            });
        if (!error.isEmpty() || digest.isEmpty())
            qFatal("the schema could not be made to name the kept files: %s", qPrintable(error));
        return digest;
    }();
    return version;
}

KeptDatabaseFile::KeptDatabaseFile(const QString& folder, const QString& stem, int generatorVersion)
    : folder_(folder), stem_(stem), path_(QDir(folder).filePath(QStringLiteral("%1-g%2-s%3.accdb")
                                                                    .arg(stem)
                                                                    .arg(generatorVersion)
                                                                    .arg(schemaVersion()))) {}

QString KeptDatabaseFile::connectionString() const {
    return fileConnectionString(path_);
}

QString KeptDatabaseFile::prepare(const Fill& fill, const Check& check) const {
    removeLeftovers();
    if (QFileInfo::exists(path_)) {
        const QString wrong = checkFile(path_, check);
        if (wrong.isEmpty())
            return {};
        std::fprintf(stderr, "%s: %s; making it again\n", qPrintable(path_), qPrintable(wrong));
    } else {
        std::fprintf(stderr, "making %s\n", qPrintable(path_));
    }
    return build(fill, check);
}

// The schema is read from the file itself: a file renamed, or changed after its fill (an
// index added by hand), must not be measured as the program's.
QString KeptDatabaseFile::checkFile(const QString& file, const Check& check) const {
    return withConnection(file, [&check](gc::db::Connection& c) {
        const QString digest = schemaDigest(c.database());
        if (digest != schemaVersion())
            return QStringLiteral("its schema (%1) is not the program's (%2)")
                .arg(digest.isEmpty() ? QStringLiteral("none") : digest, schemaVersion());
        return check(c);
    });
}

QString KeptDatabaseFile::build(const Fill& fill, const Check& check) const {
    const QString partial =
        path_ + ".partial-" + QString::number(QCoreApplication::applicationPid());
    removeDatabaseFiles(partial);
    QString error = withConnection(partial, [&fill, &partial](gc::db::Connection& c) {
        return fill(c) ? QString() : "the data could not be written into " + partial;
    });
    if (error.isEmpty())
        error = checkFile(partial, check);
    if (error.isEmpty()) {
        // A journal of an earlier file must not be read as the new file's.
        removeDatabaseFiles(path_);
        if (std::rename(QFile::encodeName(partial).constData(),
                        QFile::encodeName(path_).constData()) != 0)
            error = "cannot rename " + partial + " to " + path_;
    }
    if (!error.isEmpty())
        removeDatabaseFiles(partial);
    return error;
}

// Partial files of runs that stopped, and kept files of other versions: each may weigh
// hundreds of megabytes.
void KeptDatabaseFile::removeLeftovers() const {
    const QRegularExpression ours(
        "^" + QRegularExpression::escape(stem_) +
        R"(-g\d+-s[0-9a-f]+\.accdb(\.partial-(\d+))?(-wal|-shm|-journal)?$)");
    const QString current = QFileInfo(path_).fileName();
    for (const QString& name : QDir(folder_).entryList(QDir::Files)) {
        const QRegularExpressionMatch m = ours.match(name);
        if (!m.hasMatch())
            continue;
        const bool partial = m.capturedLength(1) > 0;
        const bool stale =
            partial ? !processAlive(m.captured(2).toLongLong()) : !name.startsWith(current);
        if (stale)
            QFile::remove(QDir(folder_).filePath(name));
    }
}

} // namespace gcbench
