#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace gc::db {
class Connection;
class Query;
} // namespace gc::db

// Registering a visit as one transaction: the barcode check, the visit row, its barcode
// (its own number when none was given) and its camera snapshot stand or fall together.
namespace gc::registers::arbab {

// The fourteen columns of a visit, in the order a save assigns them, with their values.
using VisitColumns = std::vector<std::pair<QString, QString>>;
const QStringList& visitColumnNames();

// The refusal of the first value wider than its column, naming the field by the caption the
// guard sees beside it; none when every value fits. Throws db::DbError.
std::optional<QString> TooLongValue(db::Connection& connection, const VisitColumns& visit);

enum class RegisterStatus { Saved, BarcodeInUse, Failed };

struct RegisterResult {
    RegisterStatus status = RegisterStatus::Failed;
    qint64 id = 0; // the new visit
    QString error; // Failed: the database's message
};

// Whether an open visit other than `except` holds `barcode`; an empty one is never held.
// Throws db::DbError.
bool BarcodeHeld(db::Query& scratch, const QString& barcode, qint64 except = 0);

// The barcode of visit `id` when the visitor has no card: its number behind a zero. The
// printed cards are numbered from 1 without one, so no card can hold it, and the slip
// still scans as digits. While an open visit holds it (typed by hand) another zero goes in
// front. Throws db::DbError.
QString CardlessBarcode(db::Query& scratch, qint64 id);

// Appends the visit through `visits` (the list's query, which shows it at once), checking
// the barcode on `scratch` and storing `snapshot` (a BMP file's bytes) as its camera
// picture, all under the table's write lock. On failure nothing is stored and `visits` is
// reopened on its own statement.
RegisterResult RegisterVisit(db::Query& visits, db::Query& scratch, const VisitColumns& visit,
                             const std::optional<QByteArray>& snapshot);

} // namespace gc::registers::arbab
