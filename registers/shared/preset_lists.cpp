#include "registers/shared/preset_lists.h"

#include "platform/db/query.h"
#include "registers/shared/sql_text.h"

namespace gc::registers {

namespace {

QStringList values(db::Query& query, const QString& sql) {
    query.sql().clear();
    query.sql().add(sql);
    query.open();
    QStringList out;
    for (query.first(); !query.eof(); query.next())
        out << query.fieldByName(QStringLiteral("cmt")).asString();
    return out;
}

} // namespace

QStringList PresetValues(db::Query& scratch, const QString& name) {
    return values(scratch, QStringLiteral("select * from setting where component=") + quoted(name));
}

QStringList PresetValuesLike(db::Query& scratch, const QString& pattern) {
    return values(scratch,
                  QStringLiteral("select * from setting where component like ") + quoted(pattern));
}

QString ReadDeletePassword(db::Query& adoq_set) {
    adoq_set.sql().clear();
    adoq_set.sql().add(QStringLiteral("select * from setting where component=") +
                       quoted(kDeletePasswordList));
    adoq_set.open();
    adoq_set.first();
    if (adoq_set.eof())
        return {};
    return adoq_set.fieldByName(QStringLiteral("cmt")).asString();
}

} // namespace gc::registers
