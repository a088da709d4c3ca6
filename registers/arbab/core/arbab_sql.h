#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace gc::db {
class Connection;
}

// The visitor register's SQL texts: the list's search, the entry window's look-ups and
// checks, the slip, the counts and the pictures of a visit.
namespace gc::registers::arbab {

// The exit time of a visitor still inside.
inline const QString kInside = QStringLiteral("  :  ");
inline const QString kMale = QStringLiteral("مرد");
inline const QString kFemale = QStringLiteral("زن");
inline const QString kBoth = QStringLiteral("هر دو");
inline const QString kCameraPicture = QStringLiteral("تصوير دوربين");

// Filters in the order of their lines: card, name, destination, exit time, dates, gender,
// barcode, survey. Newest date first, then the latest entry time.
enum Filter { Card, Name, Destination, ExitTime, Dates, Gender, Barcode, Survey };
SearchSpec listSearch();

// The visits on the latest date a card number was used.
QString cardLookupSql(const QString& cardNo);
// Earlier visits under a name (the namesake indicator) and their distinct visitors.
QString namesakeSql(const QString& name);
QString nameSearchSql(const QString& name);
// The names visited so far from a lower to an upper bound (both bound values), in order, at
// most `limit`.
QString namesSql(int limit);
// The names visited so far that begin with `typed`, in order, at most `limit`: the name list
// follows the guard's typing instead of holding every name. Throws db::DbError.
QStringList ReadVisitorNames(db::Connection& connection, const QString& typed, int limit);
// The floor and room of a destination.
QString roomSql(const QString& title);
// Open visits holding a barcode; with `except`, other than that visit.
QString barcodeInUseSql(const QString& barcode, qint64 except = 0);
// Visits with the same name, card number, date and entry time.
QStringList duplicateSql(const QString& name, const QString& cardNo, const QString& date,
                         const QString& entryTime);

// One visit with its destination room, one row even when two rooms share a title.
QString slipSql(qint64 visitId);

// Visits counted per name (or per destination), most visited first; only the dates narrow.
struct DateRange {
    QString from, to;
};
QStringList countsSql(bool byName, const std::optional<DateRange>& dates);

// The pictures of a visit, and its camera snapshots only.
QString picturesSql(qint64 visitId);
QString cameraPicturesSql(qint64 visitId);

// Every visit with its pictures, visits in key order, for writing the pictures to files.
QStringList visitPicturesSql(const std::optional<DateRange>& dates);

} // namespace gc::registers::arbab
