#include "capture/exchange_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <unistd.h>

namespace gc::capture {

QString exchangeFilePath(const QString& stem, const QString& extension) {
    const QString folder =
        QDir(QDir::tempPath()).filePath(QStringLiteral("gatecontrol-%1").arg(::getuid()));
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder))
        return {};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir.filePath(QStringLiteral("%1-%2.%3")
                            .arg(stem)
                            .arg(QCoreApplication::applicationPid())
                            .arg(extension));
}

} // namespace gc::capture
