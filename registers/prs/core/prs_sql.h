#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>

// The personnel traffic register's SQL texts: the list's search, the entry window's
// look-ups in the personnel directory, its duplicate check and the private car it keeps in
// step in the vehicle register.
namespace gc::registers::prs {

inline const QString kPrivateCar = QStringLiteral("شخصي");
inline const QString kCarWithPersonnel = QStringLiteral("خودرو با پرسنل");
inline const QString kLeftWithPersonnel = QStringLiteral("خروج با پرسنل");
inline const QString kWithoutCar = QStringLiteral("بدون خودرو");

// The list's search and count: card, name, reason, exit time, entry time, dates, comment;
// newest day first, then the latest entry time.
SearchSpec listSearch();

QString cardListSql();
QString surnameListSql();
QString personByCardSql(const QString& cardNo);
QString personsBySurnameSql(const QString& surname);
QString personSql(const QString& surname, const QString& cardNo);
QString pictureSql(qint64 personId);

// The rows of the same day, card and surname.
QStringList duplicateSql(const QString& day, const QString& cardNo, const QString& surname);

// The person's private-car row of that plate and day, and the same car still out.
QStringList privateCarSql(const QString& surname, const QString& plate, const QString& day);
QStringList carStillOutSql(const QString& day, const QString& plate, const QString& surname);

} // namespace gc::registers::prs
