#pragma once

#include <QString>
#include <optional>

namespace gc {

class Tdm;
namespace db {
class Query;
}

// The users row whose name and password equal the typed texts, by the database's own
// text comparison; of several such rows the one with the lowest id. Its id as
// decimal text, or nullopt. Runs on adoq_user. Throws db::DbError.
std::optional<QString> FindLoginUser(Tdm& dm, const QString& us, const QString& ps);

// Sets the password of the users rows matching `us` and `ps` to `newPs`; returns
// how many rows changed. Throws db::DbError.
int ChangePassword(Tdm& dm, const QString& us, const QString& ps, const QString& newPs);

enum class NewUser { Created, NameTaken, NameEmpty };

// Adds a user with an empty version. The name must not be blank (the password may); the
// check for a taken name and the insert run in one write transaction on `scratch`'s
// connection, so two workstations adding one name at once store it once. Throws
// db::DbError, with nothing stored.
NewUser CreateUser(db::Query& scratch, const QString& us, const QString& ps);

// The stored user names, in storage order, through ADOQuery1. Throws db::DbError.
QStringList UserNames(Tdm& dm);

} // namespace gc
