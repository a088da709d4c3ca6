#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace gc {
class Tdm;
}
namespace gc::db {
class Query;
}

// The vehicle and personnel registers share no key: a person's traffic row and the row of
// the car they drive are matched by text (name, date, card or plate, and the blank exit time
// of a row still open). Each register may add a row to the other and close the other's open
// row; the mechanics are the same both ways, only the texts differ.
namespace gc::registers::link {

// The exit time of a row that is still open.
inline const QString kOpenTime = QStringLiteral("  :  ");

using ColumnValues = QList<QPair<QString, QString>>;

// Appends `row` through `target` (opened when closed) unless `match` returns a row on
// `scratch`. True when a row was added. Throws db::DbError; a failed post is cancelled.
bool AddUnlessMatched(db::Query& scratch, const QStringList& match, db::Query& target,
                      const ColumnValues& row);

// The id of the first row that `match` returns on `scratch`.
std::optional<qint64> FirstMatch(db::Query& scratch, const QStringList& match);

// Loads row `id` of `table` alone into `target`, assigns `values`, appends " * " + `note`
// to its comment and posts. `target` is left holding that one row. Throws db::DbError.
void CloseRow(db::Query& target, const QString& table, qint64 id, const ColumnValues& values,
              const QString& note);

// A vehicle movement as the personnel register sees it.
struct CarMovement {
    QString cardNo;
    QString driver;
    QString department; // of the person found by the card look-up
    QString exitTime;
    QString entryDate;
    QString entryTime;
    QString reason;
    QString exitGuard;
    QString entryGuard;
};

inline const QString kPersonnelWithCar = QStringLiteral("پرسنل با خودرو");
inline const QString kLeftWithCar = QStringLiteral("خروج با خودرو");

// The driver's personnel row for a personal car: dated with the car's entry date, still
// open, commented "پرسنل با خودرو".
QStringList personnelRowOfCar(const CarMovement& car);
ColumnValues personnelValuesOfCar(const CarMovement& car);
// Adds that row through `ADOQ_prs` unless it exists. True when added.
bool AddPersonnelRowForCar(Tdm& dm, const CarMovement& car);

// The driver's open personnel row on the vehicle's exit date.
QStringList openPersonnelRowSql(const QString& exitDate, const QString& driver);
std::optional<qint64> FindOpenPersonnelRow(Tdm& dm, const QString& exitDate, const QString& driver);
// Gives that row the vehicle's exit time and notes "خروج با خودرو" in its comment, through
// `ADOQ_prs`.
void ClosePersonnelRow(Tdm& dm, qint64 id, const QString& exitTime);

} // namespace gc::registers::link
