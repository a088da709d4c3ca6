#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace gc::db {
class Query;
}

// Registering a visit as one transaction: the barcode check, the visit row, its barcode
// (its own number when none was given) and its camera snapshot stand or fall together.
namespace gc::registers::arbab {

// The fourteen columns of a visit, in the order a save assigns them, with their values.
using VisitColumns = std::vector<std::pair<QString, QString>>;
const QStringList& visitColumnNames();

enum class RegisterStatus { Saved, BarcodeInUse, Failed };

struct RegisterResult {
    RegisterStatus status = RegisterStatus::Failed;
    qint64 id = 0; // the new visit
    QString error; // Failed: the database's message
};

// Appends the visit through `visits` (the list's query, which shows it at once), checking
// the barcode on `scratch` and storing `snapshot` (a BMP file's bytes) as its camera
// picture, all under the table's write lock. On failure nothing is stored and `visits` is
// reopened on its own statement.
RegisterResult RegisterVisit(db::Query& visits, db::Query& scratch, const VisitColumns& visit,
                             const std::optional<QByteArray>& snapshot);

} // namespace gc::registers::arbab
