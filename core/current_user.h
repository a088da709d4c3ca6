#pragma once

#include <QString>

namespace gc {

// The user who logged in, kept for the rest of the run. Every window reads it
// through Services::user(); only the login writes it.
class CurrentUser {
  public:
    bool loggedIn() const { return !id_.isEmpty(); }

    // users.id of the login's row, as decimal text (it goes into SQL unquoted).
    const QString& id() const { return id_; }

    // The name exactly as typed at login: it may differ from the stored one in
    // whatever the database's comparison ignores. Registers stamp it as the guard.
    const QString& name() const { return name_; }

    // The administrator is the user named exactly "admin".
    bool isAdministrator() const { return name_ == QLatin1String("admin"); }

    void set(const QString& id, const QString& name) {
        id_ = id;
        name_ = name;
    }

  private:
    QString id_;
    QString name_;
};

} // namespace gc
