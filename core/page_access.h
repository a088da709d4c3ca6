#pragma once

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

} // namespace gc
