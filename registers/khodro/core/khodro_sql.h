#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>
#include <optional>

// The vehicle register's SQL texts: the list's search, the entry window's look-ups in the
// personnel directory and its duplicate check.
namespace gc::registers::khodro {

inline const QString kOfficial = QStringLiteral("اداري");
inline const QString kPersonal = QStringLiteral("شخصي");

// The list's search and count: driver, plate, exit dates, entry dates, not yet returned,
// type; newest exit first.
SearchSpec listSearch();

// The entry window's driver and plate lists for a vehicle type; nullopt for a type that
// has no list.
std::optional<QString> driverListSql(const QString& type);
std::optional<QString> plateListSql(const QString& type);

// The persons holding a card number: surname, plate and department.
QString cardLookupSql(const QString& cardNo);
// The plates of the persons with a surname, and the surnames of the persons with a plate.
QString platesOfDriverSql(const QString& driver);
QString driversOfPlateSql(const QString& plate);

// The rows of the same type, driver, plate and entry date.
QStringList duplicateSql(const QString& type, const QString& driver, const QString& plate,
                         const QString& entryDate);

} // namespace gc::registers::khodro
