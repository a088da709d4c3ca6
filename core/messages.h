#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace gc {

class CurrentUser;
namespace db {
class Query;
}

// Messages between users (table `payamha`): the list, sending, marking read and
// deleting, each through the query it is given.
namespace messages {

// A message body as stored: the text's bytes in the Arabic code page, after the
// usual mapping (Persian yeh, Persian digits). nullopt, with `bad` set to the first
// character the code page cannot hold.
std::optional<QByteArray> EncodeBody(const QString& text, QString* bad);
QString DecodeBody(const QByteArray& bytes);

// Opens the messages the user may see, newest sending date first: the user's own, or
// every message for the administrator, or (administrator only) those to one
// recipient when `recipientName` is not empty.
void OpenList(db::Query& list, const CurrentUser& user, const QString& recipientName = {});

struct Outgoing {
    QString senderId;
    QString date; // the sending date "yyyy/mm/dd"
    QString subject;
    QByteArray body;
};

enum class SendOutcome {
    Stored,
    AlreadySentToday, // same sender, recipient, subject and date: not stored again
    NoSuchUser,       // the name is no user's any more
};

// Stores one message to the user named `recipientName`. Throws db::DbError.
SendOutcome SendTo(db::Query& scratch, const Outgoing& message, const QString& recipientName);

// Marks message `id` read on `date` (also when it was read before).
void MarkRead(db::Query& scratch, qint64 id, const QString& date);

// Deletes the messages with the given ids; returns how many went.
int Delete(db::Query& scratch, const QList<qint64>& ids);

// Deletes every read message among those `list` shows; returns how many went.
int DeleteRead(db::Query& scratch, db::Query& list);

} // namespace messages
} // namespace gc
