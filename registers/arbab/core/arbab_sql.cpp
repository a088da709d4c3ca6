#include "registers/arbab/core/arbab_sql.h"

#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/sql_text.h"
#include "platform/db/statement.h"
#include "platform/text/codepage.h"

#include <QSqlError>

namespace gc::registers::arbab {

using db::quoted;

SearchSpec listSearch() {
    SearchSpec spec = searchOn(QStringLiteral("arbabrojo"), QStringLiteral("ID<>-1"),
                               QStringLiteral(" order by dat desc,vorod desc "));
    SearchFilter barcode = exactFilter(QStringLiteral(" and barcod="));
    // The open visits on the latest date the barcode was used at all.
    barcode.fragments << QStringLiteral(" and khoroj=") + quoted(kInside) +
                             QStringLiteral(" and dat in (Select max(dat) from arbabrojo  where "
                                            "barcod=");
    barcode.closing = QStringLiteral(")");
    spec.filters = {likeFilter(QStringLiteral(" and cart_no like ")),
                    likeFilter(QStringLiteral(" and name like ")),
                    likeFilter(QStringLiteral(" and maghsad like ")),
                    exactFilter(QStringLiteral(" and khoroj=")),
                    rangeFilter(QStringLiteral(" and dat>="), QStringLiteral(" and dat<=")),
                    choiceFilter({QStringLiteral(" and gender="), QStringLiteral(" and gender=")}),
                    barcode,
                    likeFilter(QStringLiteral(" and nazar like "))};
    return spec;
}

QString cardLookupSql(const QString& cardNo) {
    return "select * from  arbabrojo where cart_no=" + quoted(cardNo) +
           " and dat in (Select max(dat) from arbabrojo where cart_no=" + quoted(cardNo) + ")";
}

QString namesakeSql(const QString& name) {
    return "select distinct cart_no,* from arbabrojo where name=" + quoted(name);
}

QString nameSearchSql(const QString& name) {
    return "select distinct cart_no,name,maghsad,madrak,gender from arbabrojo where name=" +
           quoted(name);
}

QString namesSql(int limit) {
    return "select distinct name from arbabrojo where name>=? and name<? and name<>'' order by "
           "name limit " +
           QString::number(limit);
}

QStringList ReadVisitorNames(db::Connection& connection, const QString& typed, int limit) {
    // Stored names hold only the code page's letters; one the code page lacks begins none.
    const std::optional<QString> prefix = codepage::toRepertoire(typed);
    if (!prefix)
        return {};
    connection.reviveOpen();
    // A range on the name's index, not a LIKE: U+FFFF sorts after every stored letter in
    // code point order and in the Unicode collation alike.
    db::Statement q(connection);
    q.prepare(namesSql(limit));
    q.addBindValue(*prefix);
    q.addBindValue(*prefix + QChar(0xFFFF));
    if (!q.exec())
        throw db::DbError(connection.errorMessage(q.lastError()));
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    if (q.lastError().isValid())
        throw db::DbError(connection.errorMessage(q.lastError()));
    return names;
}

QString roomSql(const QString& title) {
    return "SElect tabaghe,otagh from otaghha where title=" + quoted(title);
}

QString barcodeInUseSql(const QString& barcode, qint64 except) {
    QString sql = "select * from arbabrojo where barcod=" + quoted(barcode) +
                  " and khoroj=" + quoted(kInside);
    if (except != 0)
        sql += " and id<>" + QString::number(except);
    return sql;
}

QStringList duplicateSql(const QString& name, const QString& cardNo, const QString& date,
                         const QString& entryTime) {
    return {"select * from arbabrojo where name=" + quoted(name), " and cart_no=" + quoted(cardNo),
            " and dat=" + quoted(date), " and vorod=" + quoted(entryTime)};
}

QString slipSql(qint64 visitId) {
    // Joined on one room per title (the first made), so a shared title cannot double a slip.
    return QStringLiteral(
               "select arbabrojo.id as id1,arbabrojo.name,arbabrojo.maghsad,arbabrojo.tabaghe as "
               "tabaghe1,arbabrojo.otagh as otagh1,arbabrojo.cart_no,arbabrojo.madrak,"
               "arbabrojo.dat, arbabrojo.vorod,arbabrojo.khoroj,arbabrojo.gender,arbabrojo.cmt,"
               "arbabrojo.negahban,arbabrojo.barcod,arbabrojo.nazar,  otaghha.id as id2,"
               "otaghha.title,otaghha.tabaghe as tabaghe2,otaghha.otagh as otagh2,otaghha.ext,"
               "otaghha.koroki   from arbabrojo left join otaghha on otaghha.id=(select "
               "min(o.id) from otaghha o where o.title=arbabrojo.maghsad) ") +
           " where arbabrojo.id=" + QString::number(visitId);
}

QStringList countsSql(bool byName, const std::optional<DateRange>& dates) {
    QStringList lines{
        byName ? QStringLiteral("select count(*) as c,name from arbabrojo where id<>-1 ")
               : QStringLiteral("select count(*) as c,maghsad from arbabrojo  where id<>-1 ")};
    if (dates)
        lines << " and dat>=" + quoted(dates->from) + " and dat<=" + quoted(dates->to);
    lines << (byName ? QStringLiteral(" group by name order by count(*) desc  ")
                     : QStringLiteral(" group by maghsad order by count(*) desc  "));
    return lines;
}

QString picturesSql(qint64 visitId) {
    return "select * from arbabrojo_pic where arbabrojo_id=" + QString::number(visitId);
}

QString cameraPicturesSql(qint64 visitId) {
    return picturesSql(visitId) + " and cmt=" + quoted(kCameraPicture);
}

QStringList visitPicturesSql(const std::optional<DateRange>& dates) {
    QStringList lines{
        QStringLiteral("select arbabrojo.id,arbabrojo.name,arbabrojo.dat,arbabrojo.vorod,"
                       "arbabrojo_pic.ext,arbabrojo_pic.pic from arbabrojo left join "
                       "arbabrojo_pic on arbabrojo.id=arbabrojo_pic.arbabrojo_id "),
        QStringLiteral(" where arbabrojo.id<>-1 ")};
    if (dates)
        lines << " and arbabrojo.dat>=" + quoted(dates->from) +
                     " and arbabrojo.dat<=" + quoted(dates->to);
    lines << QStringLiteral(" order by arbabrojo.id,arbabrojo_pic.id");
    return lines;
}

} // namespace gc::registers::arbab
