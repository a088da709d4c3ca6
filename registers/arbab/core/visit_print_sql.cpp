#include "registers/arbab/core/visit_print_sql.h"

#include "core/digits.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"

namespace gc::registers::arbab {

QStringList slipSelection(int visitId) {
    return {"select arbabrojo.id as id1,arbabrojo.name,arbabrojo.maghsad,arbabrojo.tabaghe as "
            "tabaghe1,arbabrojo.otagh as otagh1,arbabrojo.cart_no,arbabrojo.madrak,arbabrojo.dat,",
            " arbabrojo.vorod,arbabrojo.khoroj,arbabrojo.gender,arbabrojo.cmt,arbabrojo.negahban,"
            "arbabrojo.barcod,arbabrojo.nazar, ",
            " otaghha.id as id2,otaghha.title,otaghha.tabaghe as tabaghe2,otaghha.otagh as "
            "otagh2,otaghha.ext,otaghha.koroki   from arbabrojo left join otaghha on "
            "arbabrojo.maghsad=otaghha.title ",
            " where arbabrojo.id=" + QString::number(visitId)};
}

QStringList countSelection(bool byName, bool dateOn, const QString& from, const QString& to) {
    QStringList lines{byName ? "select count(*) as c,name from arbabrojo where id<>-1 "
                             : "select count(*) as c,maghsad from arbabrojo  where id<>-1 "};
    if (dateOn)
        lines << " and dat>=" + db::quoted(from) + " and dat<=" + db::quoted(to);
    lines << (byName ? " group by name order by count(*) desc  "
                     : " group by maghsad order by count(*) desc  ");
    return lines;
}

std::optional<int> parseCardCount(const QString& answer) {
    const QString digits = toAsciiDigits(answer.trimmed());
    if (digits.isEmpty() || digits.size() > 3 || !isAsciiDigits(digits))
        return std::nullopt;
    const int count = digits.toInt();
    if (count < 1 || count > kMaxCards)
        return std::nullopt;
    return count;
}

QList<BlankCard> issueBlankCards(db::Connection& connection, db::Query& scratch, db::Query& cards,
                                 int count, const CardPrint& print) {
    QList<BlankCard> issued;
    // Held from the start: another workstation's batch waits, so neither empties the other's
    // cards nor reads them back as its own.
    connection.beginWriteTransaction("barcod");
    try {
        scratch.sql().clear();
        scratch.sql().add("Delete from barcod ");
        scratch.execSql();
        cards.openSql({"select * from barcod "});
        for (int i = 1; i <= count; ++i) {
            cards.append();
            cards.fieldByName("name").setAsString(QString::number(i));
            cards.post();
            issued.push_back({int(cards.fieldByName("barcod").asInteger()), i});
        }
        // A batch that did not print leaves the last printed one in place.
        if (print && !print(issued)) {
            connection.rollback();
            cards.close();
            return {};
        }
        connection.commit();
    } catch (const db::DbError&) {
        if (cards.state() == db::Query::State::Insert)
            cards.cancel();
        connection.rollback();
        cards.close();
        throw;
    }
    return issued;
}

bool hasStoredProject(db::Query& scratch, const QString& table) {
    scratch.openSql({"select count(*) as c from " + table + " "});
    return scratch.fieldByName("c").asInteger() > 0;
}

} // namespace gc::registers::arbab
