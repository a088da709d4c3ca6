#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace gc {

class Tdm;

// A user's row of dastrasi for one page.
struct PageAccess {
    bool darj = false;     // insert
    bool virayesh = false; // edit
    bool hazf = false;     // delete
    bool namayesh = false; // open
};

// The first dastrasi row of user `userId` for `page`, read through ADOQ_dastrasi, which
// keeps that result. nullopt when there is none (also when nobody is logged in).
// Throws db::DbError.
std::optional<PageAccess> ReadPageAccess(Tdm& dm, const QString& userId, const QString& page);

struct PageAccessRow {
    QString page;
    PageAccess access;
};

// Whether the rows of one user, in the order read (the first row of a page is the one
// that counts), open the users page and nothing else that needs a right: no other page
// and no report-project upload. That is where the first set-up leaves the administrator.
bool OnlyTheUsersPageOpens(const QList<PageAccessRow>& rows);

// The same for user `userId`'s rows, read through ADOQuery1. Throws db::DbError.
bool OnlyTheUsersPageOpens(Tdm& dm, const QString& userId);

} // namespace gc
