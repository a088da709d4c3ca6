#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace gc::db {
class Connection;
class Query;
} // namespace gc::db

// The visitor prints' database side: the slip's one-visit selection, the count reports'
// statements and the blank-card batch.
namespace gc::registers::arbab {

// One visit joined with its destination room, with the aliases the slip reads (id1,
// tabaghe1, otagh1 for the visit; id2, tabaghe2, otagh2 and the sketch koroki for the room).
QStringList slipSelection(int visitId);

// Visits counted per destination or per name, the most visited first; only the date
// range filters, and only when `dateOn`.
QStringList countSelection(bool byName, bool dateOn, const QString& from, const QString& to);

inline constexpr int kMaxCards = 500;

// The answer to "how many cards": a whole number from 1 to kMaxCards, Persian digits and
// surrounding blanks allowed; nullopt for anything else.
std::optional<int> parseCardCount(const QString& answer);

struct BlankCard {
    int number;   // the card number its barcode carries
    int position; // 1 to the batch's size
    bool operator==(const BlankCard&) const = default;
};

// Printing a batch inside its transaction: true when the cards went to the printer.
using CardPrint = std::function<bool(const QList<BlankCard>&)>;

// Replaces the card table's rows by `count` new ones and returns them in order. One
// transaction that holds the table against other workstations' batches; the numbers keep
// rising from batch to batch. With `print`, the batch is kept only when it printed;
// otherwise nothing changes and the result is empty. Throws db::DbError and then changes
// nothing.
QList<BlankCard> issueBlankCards(db::Connection& connection, db::Query& scratch, db::Query& cards,
                                 int count, const CardPrint& print = {});

// Whether a report project was uploaded into `table` (zamaem or molaghat_file).
bool hasStoredProject(db::Query& scratch, const QString& table);

} // namespace gc::registers::arbab
