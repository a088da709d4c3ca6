#pragma once

#include "platform/db/connection.h"

#include <QHash>
#include <QString>

namespace gc::transfer {

// A database's accounts as the copy of users sees them.
struct ExistingUsers {
    QHash<QString, qint64> named; // the first id of each name
    qint64 seededAdmin = 0;       // the set-up's administrator when it is the only account
};

// Throws DbError.
ExistingUsers existingUsers(db::Connection& c);

} // namespace gc::transfer
