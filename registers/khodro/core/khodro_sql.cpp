#include "registers/khodro/core/khodro_sql.h"

#include "core/preset_lists.h"
#include "platform/db/sql_text.h"

namespace gc::registers::khodro {

using db::quoted;

SearchSpec listSearch() {
    SearchSpec s = searchOn(QStringLiteral("khodro"), QStringLiteral("ID<>-1"),
                            QStringLiteral(" order by exit_dat desc,exit_tim desc "));
    s.filters = {
        likeFilter(QStringLiteral(" and ranande like ")),
        likeFilter(QStringLiteral(" and num like ")),
        rangeFilter(QStringLiteral(" and exit_dat>="), QStringLiteral(" and exit_dat<=")),
        rangeFilter(QStringLiteral(" and vorod_dat>="), QStringLiteral(" and vorod_dat<=")),
        fixedFilter(QStringLiteral(" and vorod_dat=") + quoted(QStringLiteral("    /  /  "))),
        exactFilter(QStringLiteral(" and khodro_typ="))};
    return s;
}

namespace {

std::optional<QString> listSql(const QString& type, const QString& personal,
                               const QString& officialList) {
    if (type == kPersonal)
        return personal;
    if (type == kOfficial)
        return QStringLiteral("select distinct cmt from setting where component=") +
               quoted(officialList);
    return std::nullopt;
}

} // namespace

std::optional<QString> driverListSql(const QString& type) {
    return listSql(type, QStringLiteral("select distinct surname as cmt from asami "),
                   presets::kOfficialDriver);
}

std::optional<QString> plateListSql(const QString& type) {
    return listSql(type, QStringLiteral("select distinct khodro_num as cmt from asami "),
                   presets::kOfficialPlate);
}

QString cardLookupSql(const QString& cardNo) {
    return QStringLiteral("select surname,khodro_num,vahed_tabe from asami where card_no=") +
           quoted(cardNo);
}

QString platesOfDriverSql(const QString& driver) {
    return QStringLiteral("select distinct khodro_num as cmt from asami where surname=") +
           quoted(driver);
}

QString driversOfPlateSql(const QString& plate) {
    return QStringLiteral("select distinct surname as cmt from asami where khodro_num=") +
           quoted(plate);
}

QStringList duplicateSql(const QString& type, const QString& driver, const QString& plate,
                         const QString& entryDate) {
    return {QStringLiteral("select * from khodro where khodro_typ=") + quoted(type),
            QStringLiteral(" and ranande=") + quoted(driver),
            QStringLiteral(" and num=") + quoted(plate),
            QStringLiteral(" and vorod_dat=") + quoted(entryDate)};
}

} // namespace gc::registers::khodro
