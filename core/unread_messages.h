#pragma once

#include <QString>

namespace gc {

class Tdm;

// How many messages to user `userId` are still unread (their show_dat is empty),
// counted through ADOQ_timer, which nothing else uses. Throws db::DbError.
qint64 CountUnreadMessages(Tdm& dm, const QString& userId);

} // namespace gc
