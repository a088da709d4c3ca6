#include "registers/asami/core/asami_pictures.h"

#include "core/picture_file.h"
#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/forward_reader.h"
#include "platform/db/query.h"
#include "platform/text/bidi.h"
#include "registers/asami/core/asami_sql.h"

#include <QFile>
#include <QFileInfo>

namespace gc::registers::asami {

namespace {

const QString kKey = QStringLiteral("ID");

} // namespace

std::optional<PictureFile> ReadPictureFile(const QString& path, QString* error) {
    QFile file(path);
    PictureFile picture;
    if (file.open(QIODevice::ReadOnly))
        picture.bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("فايل %1 خوانده نشد: %2")
                     .arg(text::isolatedLtr(path), file.errorString());
        return std::nullopt;
    }
    const QString suffix = QFileInfo(path).suffix();
    picture.ext = suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    if (!pictures::IsPicture(picture.ext, picture.bytes)) {
        *error = QStringLiteral("فايل %1 تصوير نيست و ثبت نشد").arg(text::isolatedLtr(path));
        return std::nullopt;
    }
    return picture;
}

bool RemoveSourceFile(const QString& path, QString* error) {
    QFile file(path);
    if (file.remove())
        return true;
    *error = file.errorString();
    return false;
}

ImportOutcome ImportPicture(db::Query& perPic, qint64 personId, const QString& path,
                            const RemoveFile& remove) {
    QString error;
    const auto picture = ReadPictureFile(path, &error);
    if (!picture)
        return {ImportStatus::Refused, error};
    try {
        perPic.openSql({picturesSql(personId)});
        perPic.append();
        perPic.fieldByName(QStringLiteral("per_id")).setAsInteger(personId);
        perPic.fieldByName(QStringLiteral("ext")).setAsString(picture->ext);
        perPic.fieldByName(QStringLiteral("pic")).setBytes(picture->bytes);
        perPic.post();
    } catch (const db::DbError& e) {
        perPic.cancel();
        return {ImportStatus::Failed,
                QStringLiteral("خطايي در ثبت رخ داده است: %1").arg(e.message())};
    }
    if (!remove(path, &error))
        return {ImportStatus::StoredNotRemoved,
                QStringLiteral("تصوير ثبت شد، ولي فايل %1 حذف نشد (%2)؛ آن را دوباره ثبت نکنيد")
                    .arg(text::isolatedLtr(path), error)};
    return {ImportStatus::Stored, kSaved};
}

void DeletePersonWithPictures(db::Query& list, db::Query& scratch) {
    const qint64 id = list.fieldByName(kKey).asInteger();
    db::Connection& connection = list.connection();
    connection.beginTransaction();
    try {
        scratch.close();
        scratch.sql().clear();
        scratch.sql().add(deletePicturesSql(id));
        scratch.execSql();
        list.deleteRecord();
        connection.commit();
    } catch (const db::DbError&) {
        connection.rollback();
        throw;
    }
}

QString CleanNamePart(const QString& part) {
    QString out = part;
    for (QChar& c : out)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return out;
}

QString SavedPictureName(const QString& prefix, int number, const SavedPerson& person,
                         const QString& ext) {
    const QString sep = QStringLiteral("_");
    return prefix + QString::number(number) + CleanNamePart(person.surname) + sep +
           CleanNamePart(person.name) + sep + CleanNamePart(person.code) + sep +
           CleanNamePart(person.card) + sep + ext;
}

SaveAllOutcome SaveAllPictures(db::Connection& connection, const std::vector<FilterInput>& filters,
                               const QString& prefix) {
    SaveAllOutcome out;
    db::ForwardReader rows(connection, saveAllSql(filters).join(QLatin1Char('\n')));
    const int extColumn = rows.column(QStringLiteral("ext"));
    const int picColumn = rows.column(QStringLiteral("pic"));
    const int surname = rows.column(QStringLiteral("surname"));
    const int name = rows.column(QStringLiteral("name"));
    const int code = rows.column(QStringLiteral("uniq_code"));
    const int card = rows.column(QStringLiteral("card_no"));
    for (int number = 1; rows.next(); ++number) {
        const QString ext = rows.text(extColumn);
        const QVariant pic = rows.value(picColumn);
        if (pic.isNull()) {
            ++out.withoutPicture;
            continue;
        }
        const QByteArray bytes = pic.toByteArray();
        if (!pictures::IsPicture(ext, bytes)) {
            ++out.notPicture;
            continue;
        }
        const SavedPerson person{rows.text(surname), rows.text(name), rows.text(code),
                                 rows.text(card)};
        const QString path = SavedPictureName(prefix, number, person, ext);
        QString reason;
        const pictures::NewFile written = pictures::WriteNewFile(path, bytes, &reason);
        if (written == pictures::NewFile::Written)
            ++out.written;
        else if (written == pictures::NewFile::Existed)
            ++out.existing;
        else if (++out.failed == 1)
            out.error =
                QStringLiteral("فايل %1 نوشته نشد: %2").arg(text::isolatedLtr(path), reason);
    }
    return out;
}

QString SaveAllMessage(const SaveAllOutcome& o) {
    QStringList lines = {QStringLiteral("%1 فايل تصوير ذخيره شد").arg(o.written)};
    if (o.withoutPicture > 0)
        lines << QStringLiteral("%1 نفر تصوير ندارند").arg(o.withoutPicture);
    if (o.notPicture > 0)
        lines << QStringLiteral("%1 فايل ذخيره شده تصوير نيست و نوشته نشد").arg(o.notPicture);
    if (o.existing > 0)
        lines << QStringLiteral("%1 فايل از قبل وجود داشت و رونويسي نشد").arg(o.existing);
    if (o.failed > 0)
        lines << QStringLiteral("%1 فايل نوشته نشد؛ اولين خطا: %2")
                     .arg(QString::number(o.failed), o.error);
    return lines.join(QLatin1Char('\n'));
}

} // namespace gc::registers::asami
