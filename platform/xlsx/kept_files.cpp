#include "platform/xlsx/kept_files.h"

#include "platform/text/bidi.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace gc::xlsx {

namespace {

// Names that every desktop's file system takes.
QString fileNameOf(const QString& name) {
    static const QString kForbidden = QStringLiteral("\\/:*?\"<>|");
    QString out;
    for (const QChar c : name)
        out += c.unicode() < 0x20 || kForbidden.contains(c) ? QChar('-') : c;
    out = out.trimmed();
    return out.isEmpty() || out.startsWith(u'.') ? QStringLiteral("export") + out : out;
}

} // namespace

QString keptFolder(QString* error) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QDir(documents.isEmpty() ? QDir::homePath() : documents)
                             .filePath(QStringLiteral("gatecontrol"));
    if (!QDir().mkpath(path)) {
        *error =
            QStringLiteral("پوشه %1 براي نگهداري فايل ساخته نشد.").arg(text::isolatedLtr(path));
        return {};
    }
    return path;
}

QString createKeptFile(const QString& folder, const QString& name, const QString& suffix,
                       QString* error) {
    const QString base = QDir(folder).filePath(fileNameOf(name));
    QFile file;
    for (int n = 1; n < 1000; ++n) {
        file.setFileName(n == 1
                             ? QStringLiteral("%1.%2").arg(base, suffix)
                             : QStringLiteral("%1 (%2).%3").arg(base, QString::number(n), suffix));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            break;
    }
    *error = QStringLiteral("فايل %1 ساخته نشد: %2")
                 .arg(text::isolatedLtr(file.fileName()), file.errorString());
    return {};
}

} // namespace gc::xlsx
