#include "registers/prs/core/prs_sql.h"

#include "platform/db/sql_text.h"
#include "registers/shared/core/personnel_link.h"

namespace gc::registers::prs {

using db::quoted;

namespace {

// The comparisons in the order of their drop-down: "<", "=", ">".
SearchFilter timeFilter(const QString& column) {
    return choiceFilter({QStringLiteral(" and %1>=").arg(column),
                         QStringLiteral(" and %1=").arg(column),
                         QStringLiteral(" and %1<=").arg(column)});
}

} // namespace

SearchSpec listSearch() {
    SearchSpec s = searchOn(QStringLiteral("prs"), QStringLiteral("ID<>-1"),
                            QStringLiteral(" order by exit_dat desc,vorod_tim desc "));
    SearchFilter comment = likeFilter(QStringLiteral(" and cmt like "));
    comment.specialValues = {
        {kWithoutCar, QStringLiteral(" and cmt not like ") + quoted(QStringLiteral("%خودرو%"))}};
    s.filters = {likeFilter(QStringLiteral(" and cart_no like ")),
                 likeFilter(QStringLiteral(" and nam like ")),
                 likeFilter(QStringLiteral(" and elat like ")),
                 timeFilter(QStringLiteral("exit_tim")),
                 timeFilter(QStringLiteral("vorod_tim")),
                 rangeFilter(QStringLiteral(" and exit_dat>="), QStringLiteral(" and exit_dat<=")),
                 comment};
    return s;
}

QString cardListSql() {
    return QStringLiteral("select distinct card_no from asami ");
}

QString surnameListSql() {
    return QStringLiteral("select distinct surname from asami ");
}

QString personByCardSql(const QString& cardNo) {
    return QStringLiteral("select *  from asami where card_no=") + quoted(cardNo);
}

QString personsBySurnameSql(const QString& surname) {
    return QStringLiteral("select * from asami where surname=") + quoted(surname);
}

QString personSql(const QString& surname, const QString& cardNo) {
    return personsBySurnameSql(surname) + QStringLiteral(" and card_no=") + quoted(cardNo);
}

QString pictureSql(qint64 personId) {
    // The first picture stored, as the directory shows it, on every engine.
    return QStringLiteral("Select * from per_pic where per_id=%1 order by id").arg(personId);
}

QStringList duplicateSql(const QString& day, const QString& cardNo, const QString& surname) {
    return {QStringLiteral("select * from prs where exit_dat=") + quoted(day),
            QStringLiteral(" and cart_no=") + quoted(cardNo),
            QStringLiteral(" and nam=") + quoted(surname)};
}

QStringList privateCarSql(const QString& surname, const QString& plate, const QString& day) {
    return {QStringLiteral("select * from khodro where khodro_typ=") + quoted(kPrivateCar),
            QStringLiteral(" and ranande=") + quoted(surname),
            QStringLiteral(" and num=") + quoted(plate),
            QStringLiteral(" and vorod_dat=") + quoted(day)};
}

QStringList carStillOutSql(const QString& day, const QString& plate, const QString& surname) {
    return {QStringLiteral("select * from khodro where vorod_dat=") + quoted(day),
            QStringLiteral(" and num=") + quoted(plate),
            QStringLiteral(" and ranande=") + quoted(surname),
            QStringLiteral(" and exit_tim=") + quoted(link::kOpenTime)};
}

} // namespace gc::registers::prs
