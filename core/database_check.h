#pragma once

#include <QString>

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
    QString reason; // the database's own, for Unreadable
};

// Looks at the data module's open connection before anyone logs in: the tables, and the
// user list that login reads first. Cheap: no table is read but the users.
DatabaseCheck CheckDatabase(Tdm& dm);

} // namespace gc
