#pragma once

#include <QString>
#include <optional>

namespace gc {

class Tdm;

// The users row whose name and password equal the typed texts, by the database's own
// text comparison; of several such rows the one with the lowest id. Its id as
// decimal text, or nullopt. Runs on adoq_user. Throws db::DbError.
std::optional<QString> FindLoginUser(Tdm& dm, const QString& us, const QString& ps);

// Sets the password of the users rows matching `us` and `ps` to `newPs`; returns
// how many rows changed. Throws db::DbError.
int ChangePassword(Tdm& dm, const QString& us, const QString& ps, const QString& newPs);

// The stored user names, in storage order, through ADOQuery1. Throws db::DbError.
QStringList UserNames(Tdm& dm);

} // namespace gc
