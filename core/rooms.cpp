#include "core/rooms.h"

#include "core/picture_file.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/text/bidi.h"

#include <QFile>
#include <QFileInfo>

namespace gc::rooms {

bool TitleExists(db::Query& scratch, const QString& title) {
    scratch.sql().clear();
    scratch.sql().add("select * from otaghha where title=" + db::quoted(title));
    scratch.open();
    return !scratch.eof();
}

std::optional<Sketch> ReadSketch(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString::fromUtf8("فايل %1 خوانده نشد: %2")
                     .arg(text::isolatedLtr(path), file.errorString());
        return std::nullopt;
    }
    Sketch sketch;
    sketch.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QString::fromUtf8("فايل %1 خوانده نشد: %2")
                     .arg(text::isolatedLtr(path), file.errorString());
        return std::nullopt;
    }
    const QString suffix = QFileInfo(path).suffix();
    sketch.ext = suffix.isEmpty() ? QString() : '.' + suffix;
    if (!pictures::IsPicture(sketch.ext, sketch.bytes)) {
        *error = QString::fromUtf8("فايل %1 تصوير نيست؛ کروکي بايد يک فايل تصوير باشد")
                     .arg(text::isolatedLtr(path));
        return std::nullopt;
    }
    return sketch;
}

void Delete(db::Query& scratch, qint64 id) {
    scratch.sql().clear();
    scratch.sql().add("delete from otaghha where id=" + QString::number(id));
    scratch.execSql();
}

} // namespace gc::rooms
