#include "core/preset_lists.h"

#include "platform/db/query.h"
#include "platform/db/sql_text.h"

namespace gc::presets {

namespace {

QStringList columnValues(db::Query& query) {
    QStringList out;
    for (query.first(); !query.eof(); query.next())
        out << query.fieldByName("cmt").asString();
    return out;
}

} // namespace

const QStringList& listNames() {
    static const QStringList names{
        kParking,        kDeletePassword, kJobTitle, kOfficialPlate, kExitReason,
        kOwner,          kGuardPlace,     kDocument, kDestination,   kVisitorDestination,
        kMessageSubject, kOfficialDriver, kItemName, kGuardName};
    return names;
}

QStringList values(db::Query& query, const QString& list) {
    query.openSql({"select * from setting where component=" + db::quoted(list)});
    return columnValues(query);
}

QStringList valuesLike(db::Query& query, const QString& pattern) {
    query.openSql({"select * from setting where component like " + db::quoted(pattern)});
    return columnValues(query);
}

QString defaultValue(db::Query& query, const QString& list) {
    query.openSql({"select * from setting where component=" + db::quoted(list) +
                   " and def=" + db::quoted("1")});
    return query.eof() ? QString() : query.fieldByName("cmt").asString();
}

QString deletePassword(db::Query& query) {
    query.openSql({"select * from setting where component=" + db::quoted(kDeletePassword)});
    return query.eof() ? QString() : query.fieldByName("cmt").asString();
}

} // namespace gc::presets
