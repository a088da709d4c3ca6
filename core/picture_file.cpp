#include "core/picture_file.h"

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

} // namespace gc::pictures
