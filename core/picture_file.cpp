#include "core/picture_file.h"

#include <QFile>
#include <QMimeDatabase>
#include <QRegularExpression>

namespace gc::pictures {

namespace {

// Scalable drawings may carry scripts and open in a browser: not a picture here.
bool isRasterPicture(const QMimeType& type) {
    const QString name = type.name();
    return name.startsWith(QLatin1String("image/")) && !name.startsWith(QLatin1String("image/svg"));
}

} // namespace

bool IsSafeExtension(const QString& ext) {
    static const QRegularExpression pattern(QStringLiteral("^\\.[A-Za-z0-9]{1,8}$"));
    return pattern.match(ext).hasMatch();
}

bool IsPicture(const QString& ext, const QByteArray& bytes) {
    if (!IsSafeExtension(ext) || bytes.isEmpty())
        return false;
    const QMimeDatabase types;
    return isRasterPicture(
               types.mimeTypeForFile(QStringLiteral("x") + ext, QMimeDatabase::MatchExtension)) &&
           isRasterPicture(types.mimeTypeForData(bytes));
}

NewFile WriteNewFile(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (error)
            *error = file.errorString();
        return file.exists() ? NewFile::Existed : NewFile::Failed;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = file.errorString();
        file.close();
        file.remove();
        return NewFile::Failed;
    }
    return NewFile::Written;
}

} // namespace gc::pictures
