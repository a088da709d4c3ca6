#include "core/phone_search.h"

#include "platform/db/sql_text.h"

namespace gc {

using db::quoted;

namespace {

QString filter(PhoneSearchColumn column, const QString& text) {
    static const char* const kColumns[] = {" and name like ", " and tel like ", " and cmt like "};
    return QString::fromLatin1(kColumns[int(column)]) + db::containsPattern(text);
}

} // namespace

QString NormalizeKeheh(const QString& text) {
    QString out = text;
    out.replace(QChar(0x06A9), QChar(0x0643));
    return out;
}

QString PhoneCountSql(PhoneSearchColumn column, const QString& text) {
    return "select count(*) as c from phone where name<>" + quoted(QString()) +
           filter(column, text);
}

QString PhoneListSql(PhoneSearchColumn column, const QString& text) {
    return "select * from phone where name<>" + quoted(QString()) + filter(column, text) +
           " order by name";
}

QString PhoneNameSql(const QString& name) {
    return "select * from phone where name = " + quoted(name);
}

} // namespace gc
