#include "platform/db/statement_rows.h"

#include "platform/db/db_error.h"
#include "platform/db/sqlite_file.h"

#include <QSqlError>
#include <sqlite3.h>

namespace gc::db {

namespace {

// Binds by the value's own type, so that a number is compared as a number and a text as text.
int bindValue(sqlite3_stmt* stmt, int at, const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        return sqlite3_bind_int64(stmt, at, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, at, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob64(stmt, at, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default: {
        if (v.isNull())
            return sqlite3_bind_null(stmt, at);
        const QByteArray text = v.toString().toUtf8();
        return sqlite3_bind_text64(stmt, at, text.constData(), sqlite3_uint64(text.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    }
}

// A page read after the server came back reopens the connection, as a save does; the wait
// is marked on the connection as it is then.
ServerWait revivedWait(Connection& connection) {
    connection.revive();
    return connection.serverWait();
}

} // namespace

StatementRows::StatementRows(Connection& connection, const QString& sql, const QVariantList& values)
    : connection_(connection), wait_(revivedWait(connection)) {
    const QSqlDatabase db = connection_.database();
    if (sqlite3* handle = connection_.engine() == Engine::SQLite ? engineHandle(db) : nullptr) {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &stmt_, nullptr) !=
            SQLITE_OK)
            refuse(handle);
        for (int i = 0; i < values.size(); ++i)
            if (bindValue(stmt_, i + 1, values[i]) != SQLITE_OK)
                refuse(handle);
        return;
    }
    query_.emplace(connection_);
    if (!query_->run(sql, values))
        throw DbError(connection_.errorMessage(query_->lastError()));
}

// The engine's words, taken before the statement is let go.
void StatementRows::refuse(sqlite3* handle) {
    const QString message = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw DbError(
        connection_.errorMessage(QSqlError(QString(), message, QSqlError::StatementError)));
}

StatementRows::~StatementRows() {
    sqlite3_finalize(stmt_);
}

bool StatementRows::next() {
    if (!stmt_) {
        if (query_->next())
            return true;
        if (query_->lastError().isValid())
            throw DbError(connection_.errorMessage(query_->lastError()));
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DbError(connection_.errorMessage(
        QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_))),
                  QSqlError::StatementError)));
}

QVariant StatementRows::value(int column) const {
    if (!stmt_)
        return query_->value(column);
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt_, column)));
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column)));
    }
    }
}

} // namespace gc::db
