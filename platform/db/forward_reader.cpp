#include "platform/db/forward_reader.h"

#include "platform/db/db_error.h"
#include "platform/db/dialect.h"
#include "platform/text/codepage.h"

#include <QSqlError>

namespace gc::db {

ForwardReader::ForwardReader(Connection& connection, const QString& sql) : connection_(connection) {
    // The same road as a list's pages: a lost server reopened, the engine's own words.
    connection_.reviveOpen();
    QString bad;
    const auto mapped = codepage::toRepertoire(sql, &bad);
    if (!mapped)
        throw DbError(codepage::unsupportedCharMessage(bad));
    query_.emplace(connection_);
    if (!query_->exec(translateQuery(connection_.engine(), kafBlindLike(*mapped))))
        throw DbError(connection_.errorMessage(query_->lastError()));
    record_ = query_->record();
}

bool ForwardReader::next() {
    if (query_->next())
        return true;
    if (query_->lastError().isValid())
        throw DbError(connection_.errorMessage(query_->lastError()));
    return false;
}

int ForwardReader::column(const QString& name) const {
    const int index = record_.indexOf(name);
    if (index < 0)
        throw DbError(QString::fromUtf8("ستون «%1» در نتيجه نيست").arg(name));
    return index;
}

} // namespace gc::db
