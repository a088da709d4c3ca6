#include "platform/xlsx/temp_files.h"

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
        *error = QStringLiteral("پوشه موقت %1 ساخته نشد یا متعلق به کاربر دیگری است.").arg(path);
        return {};
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QString createUniqueFile(const QString& folder, const QString& prefix, const QString& suffix,
                         QString* error) {
    QTemporaryFile file(folder + u'/' + prefix + QStringLiteral("-XXXXXX.") + suffix);
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = QStringLiteral("فایل موقت در %1 ساخته نشد: %2").arg(folder, file.errorString());
        return {};
    }
    return file.fileName();
}

} // namespace gc::xlsx
