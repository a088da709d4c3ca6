#include "platform/xlsx/temp_files.h"

#include "platform/text/bidi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace gc::xlsx {

namespace {

QString userTag() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME", QStringLiteral("user"));
#endif
}

bool ownedByUs(const QFileInfo& info) {
#ifdef Q_OS_UNIX
    return info.ownerId() == ::getuid();
#else
    Q_UNUSED(info);
    return true;
#endif
}

} // namespace

QString userTempFolder(QString* error) {
    const QString path = QDir::tempPath() + QStringLiteral("/gatecontrol-") + userTag();
    QDir().mkdir(path);
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink() || !ownedByUs(info)) {
        *error = QStringLiteral("پوشه موقت %1 ساخته نشد یا متعلق به کاربر دیگری است.")
                     .arg(text::isolatedLtr(path));
        return {};
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

namespace {

QString runTag() {
    return QStringLiteral("-%1-").arg(QCoreApplication::applicationPid());
}

// Removes the files and links directly in the user's folder that `pick` chooses.
template <class Pick> int removeFiles(Pick pick) {
    QString error;
    const QString folder = userTempFolder(&error);
    if (folder.isEmpty())
        return 0;
    int removed = 0;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::AllEntries | QDir::System |
                                                             QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            continue;
        if (pick(entry) && QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

} // namespace

QString uniqueFileTemplate(const QString& folder, const QString& prefix, const QString& suffix) {
    return folder + u'/' + prefix + runTag() + QStringLiteral("XXXXXX.") + suffix;
}

int removeThisRunsFiles() {
    return removeFiles([](const QFileInfo& f) { return f.fileName().contains(runTag()); });
}

int removeFilesOlderThan(const QDateTime& before) {
    // The program makes no links: any link there was planted and goes whatever its age.
    return removeFiles(
        [&before](const QFileInfo& f) { return f.isSymLink() || f.lastModified() < before; });
}

QString createUniqueFile(const QString& folder, const QString& prefix, const QString& suffix,
                         QString* error) {
    QTemporaryFile file(uniqueFileTemplate(folder, prefix, suffix));
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = QStringLiteral("فایل موقت در %1 ساخته نشد: %2")
                     .arg(text::isolatedLtr(folder), file.errorString());
        return {};
    }
    return file.fileName();
}

} // namespace gc::xlsx
