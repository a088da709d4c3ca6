#include "registers/asami/core/asami_sql.h"

#include "platform/db/sql_text.h"

namespace gc::registers::asami {

using db::quoted;

SearchSpec directorySearch() {
    SearchSpec s;
    s.selectBase = QStringLiteral("select * from asami where id<>-1");
    s.countBase = QStringLiteral("select count(*) as c from asami where id<>-1");
    // Namesakes in the order they were written, so that every page of the list is read once.
    s.orderBy = QStringLiteral(" order by surname,id ");
    s.filters = {likeFilter(QStringLiteral(" and surname like ")),
                 likeFilter(QStringLiteral(" and card_no like ")),
                 likeFilter(QStringLiteral(" and khodro_num like ")),
                 likeFilter(QStringLiteral(" and mobile like ")),
                 likeFilter(QStringLiteral(" and uniq_code like "))};
    return s;
}

QString distinctSql(const QString& column) {
    return QStringLiteral("select distinct %1 from asami order by %1").arg(column);
}

QString sameSurnameSql(const QString& surname) {
    return QStringLiteral("Select * from asami where surname=") + quoted(surname);
}

QString sameCardSql(const QString& cardNo) {
    return QStringLiteral("Select * from asami where card_no=") + quoted(cardNo);
}

QString personSql(qint64 id) {
    return QStringLiteral("select * from asami where id=%1").arg(id);
}

QString picturesSql(qint64 personId) {
    return QStringLiteral("Select * from per_pic where per_id=%1 order by id").arg(personId);
}

QString deletePicturesSql(qint64 personId) {
    return QStringLiteral("delete from per_pic where per_id=%1").arg(personId);
}

QStringList saveAllSql(const std::vector<FilterInput>& inputs) {
    const SearchSpec spec = directorySearch();
    QStringList lines = {QStringLiteral(
        "select asami.id as person_key, surname, name, uniq_code, card_no, ext, pic from asami "
        "left join per_pic on asami.id=per_pic.per_id where asami.id<>-1 ")};
    for (std::size_t i = 0; i < std::size_t(kSaveAllFilters) && i < inputs.size(); ++i)
        if (const auto line = filterLine(spec.filters[i], inputs[i]))
            lines << *line;
    lines << QStringLiteral(" order by asami.id, per_pic.id");
    return lines;
}

} // namespace gc::registers::asami
