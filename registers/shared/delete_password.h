#pragma once

#include <QString>

namespace gc::db {
class Query;
}

namespace gc::registers {

enum class DeleteOutcome { Deleted, WrongPassword, Cancelled, NoRow, Failed };

// Asks for the delete password and deletes the list's current row when the answer is the
// stored password. Cancel never deletes, a wrong answer does nothing and says nothing;
// with no stored password the empty answer deletes. `adoq_set` reads the password.
DeleteOutcome DeleteWithPassword(db::Query& list, db::Query& adoq_set);

// The same behind a code of the window's own, asked for under `caption` and `prompt`.
DeleteOutcome DeleteWithCode(db::Query& list, const QString& caption, const QString& prompt,
                             const QString& code);

} // namespace gc::registers
