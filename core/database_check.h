#pragma once

#include <QString>
#include <QStringList>

namespace gc {

class Tdm;

// What an opened database is to the program.
enum class DatabaseState {
    Ready,
    Empty,           // no table at all: a new database
    NoProgramTables, // tables, but not the program's users
    Unreadable,      // the user list cannot be read: a damaged file
};

struct DatabaseCheck {
    DatabaseState state = DatabaseState::Ready;
    QString reason;     // the database's own, for Unreadable
    QStringList tables; // what it holds instead, for NoProgramTables
};

// Looks at the data module's open connection before anyone logs in: the tables, and the
// user list that login reads first. Cheap: no table is read but the users. A file found
// ready is the program's own and gets its settings; any other is left as it was.
DatabaseCheck CheckDatabase(Tdm& dm);

// Said before a database holding another program's tables is set up: a few of them by name,
// and that the set-up adds the program's tables beside them.
QString OtherTablesNote(const QStringList& tables);

} // namespace gc
