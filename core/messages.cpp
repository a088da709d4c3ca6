#include "core/messages.h"

#include "core/current_user.h"
#include "platform/db/query.h"
#include "platform/db/sql_text.h"
#include "platform/text/codepage.h"

#include <QStringList>

namespace gc::messages {

using db::quoted;

std::optional<QByteArray> EncodeBody(const QString& text, QString* bad) {
    const auto mapped = codepage::toRepertoire(text, bad);
    if (!mapped)
        return std::nullopt;
    return codepage::encode(*mapped);
}

QString DecodeBody(const QByteArray& bytes) {
    return codepage::decode(bytes);
}

void OpenList(db::Query& list, const CurrentUser& user, const QString& recipientName) {
    list.sql().clear();
    list.sql().add("select payamha.*,users.us as ferestande from payamha left join users on "
                   "payamha.send_prs_id=users.id where payamha.id<>-1");
    if (!user.isAdministrator())
        list.sql().add(" and rec_prs_id=" + user.id());
    else if (!recipientName.isEmpty())
        list.sql().add(
            " and rec_prs_id in (select id from users where us=" + quoted(recipientName) + ")");
    list.sql().add(" order by payamha.send_dat desc ");
    list.open();
}

SendOutcome SendTo(db::Query& scratch, const Outgoing& message, const QString& recipientName) {
    scratch.sql().clear();
    scratch.sql().add("Select id from users where us=" + quoted(recipientName));
    scratch.open();
    if (scratch.eof())
        return SendOutcome::NoSuchUser;
    const QString recipient = scratch.fieldByName("id").asString();

    scratch.sql().clear();
    scratch.sql().add("Select * from payamha where send_prs_id=" + message.senderId +
                      " and rec_prs_id=" + recipient + " and mozo=" + quoted(message.subject) +
                      " and send_dat=" + quoted(message.date));
    scratch.open();
    if (!scratch.eof())
        return SendOutcome::AlreadySentToday;

    try {
        scratch.append();
        scratch.fieldByName("send_prs_id").setAsString(message.senderId);
        scratch.fieldByName("rec_prs_id").setAsString(recipient);
        scratch.fieldByName("send_dat").setAsString(message.date);
        scratch.fieldByName("show_dat").setAsString("");
        scratch.fieldByName("mozo").setAsString(message.subject);
        scratch.fieldByName("cmt").setBytes(message.body);
        scratch.post();
    } catch (...) {
        scratch.cancel();
        throw;
    }
    return SendOutcome::Stored;
}

void MarkRead(db::Query& scratch, qint64 id, const QString& date) {
    scratch.sql().clear();
    scratch.sql().add("Update payamha set show_dat=" + quoted(date) +
                      " where id=" + QString::number(id));
    scratch.execSql();
}

int Delete(db::Query& scratch, const QList<qint64>& ids) {
    if (ids.isEmpty())
        return 0;
    QStringList numbers;
    for (const qint64 id : ids)
        numbers << QString::number(id);
    scratch.sql().clear();
    scratch.sql().add("Delete from payamha where id in (" + numbers.join(',') + ")");
    return scratch.execSql();
}

int DeleteRead(db::Query& scratch, db::Query& list) {
    QList<qint64> ids;
    for (list.first(); !list.eof(); list.next())
        if (!list.fieldByName("show_dat").asString().isEmpty())
            ids << list.fieldByName("id").asInteger();
    return Delete(scratch, ids);
}

} // namespace gc::messages
