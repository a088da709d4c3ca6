#include "registers/arbab/core/visit_pictures.h"

#include "core/picture_file.h"
#include "platform/db/connection.h"
#include "platform/db/statement.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace gc::registers::arbab {

namespace {

enum class Written { Yes, Skipped, Failed };

Written writeOne(const QDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    // The name is one cleaned part, so the file lands in the folder; checked all the same.
    if (QFileInfo(path).absolutePath() != folder.absolutePath())
        return Written::Skipped;
    switch (pictures::WriteNewFile(path, bytes)) {
    case pictures::NewFile::Written:
        return Written::Yes;
    case pictures::NewFile::Existed:
        return Written::Skipped;
    case pictures::NewFile::Failed:
        break;
    }
    return Written::Failed;
}

} // namespace

QString cleanFilePart(const QString& part) {
    QString out = part;
    for (QChar& c : out)
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    return out;
}

QString pictureFileName(const QString& prefix, int counter, const QString& name,
                        const QString& date, const QString& entryTime, const QString& ext) {
    const QString stem = prefix + QString::number(counter) + name + '_' + date.mid(0, 4) + '_' +
                         date.mid(5, 2) + '_' + date.mid(8, 2) + '_' + entryTime.mid(0, 2) + '_' +
                         entryTime.mid(3, 2);
    return cleanFilePart(stem) + cleanFilePart(ext);
}

PictureFiles WritePictureFiles(db::Connection& connection, const QString& folder,
                               const QString& prefix, const std::optional<DateRange>& dates) {
    PictureFiles out;
    const QDir dir(folder);
    db::Statement rows(connection);
    if (!rows.exec(visitPicturesSql(dates).join('\n'))) {
        out.error = connection.errorMessage(rows.lastError());
        return out;
    }
    for (int counter = 1; rows.next(); ++counter) {
        const QString ext = rows.value(4).toString();
        const QByteArray bytes = rows.value(5).toByteArray();
        if (!pictures::IsPicture(ext, bytes)) {
            ++out.skipped;
            continue;
        }
        const QString name =
            pictureFileName(prefix, counter, rows.value(1).toString(), rows.value(2).toString(),
                            rows.value(3).toString(), ext);
        switch (writeOne(dir, name, bytes)) {
        case Written::Yes:
            ++out.written;
            break;
        case Written::Skipped:
            ++out.skipped;
            break;
        case Written::Failed:
            ++out.failed;
            break;
        }
    }
    if (rows.lastError().isValid())
        out.error = connection.errorMessage(rows.lastError());
    return out;
}

} // namespace gc::registers::arbab
