#include "windows/shell/picture_view.h"

#include "core/picture_file.h"
#include "platform/text/bidi.h"
#include "platform/xlsx/file_opener.h"
#include "platform/xlsx/temp_files.h"

#include <QFile>

namespace gc {

QString ShowStoredPicture(const QByteArray& bytes, const QString& ext, xlsx::FileOpener& viewer) {
    if (!pictures::IsPicture(ext, bytes))
        return QString::fromUtf8("فايل ذخيره شده تصوير نيست و نمايش داده نمي شود");
    QString error;
    const QString folder = xlsx::userTempFolder(&error);
    if (folder.isEmpty())
        return error;
    const QString path =
        xlsx::createUniqueFile(folder, QStringLiteral("picture"), ext.mid(1), &error);
    if (path.isEmpty())
        return error;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        QFile::remove(path);
        return QString::fromUtf8("فايل تصوير %1 نوشته نشد: %2")
            .arg(text::isolatedLtr(path), reason);
    }
    file.close();
    if (!viewer.open(path))
        return QString::fromUtf8("برنامه اي براي نمايش تصوير باز نشد؛ فايل در %1 است")
            .arg(text::isolatedLtr(path));
    return {};
}

} // namespace gc
