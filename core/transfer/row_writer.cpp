#include "core/transfer/row_writer.h"

#include "core/transfer/statements.h"
#include "platform/db/db_error.h"

#include <QSqlError>
#include <algorithm>

namespace gc::transfer {

namespace {

constexpr int kMaxBoundValues = 30000;
constexpr int kMaxRowsPerInsert = 250;

} // namespace

using db::DbError;

std::vector<qint64> RowWriter::reserveIds(const QString& table, const QString& key, int n) {
    std::vector<qint64> ids;
    if (c_.engine() == db::Engine::PostgreSQL) {
        db::Statement q =
            runStatement(c_,
                         "select nextval(pg_get_serial_sequence('" + table + "', '" + key +
                             "')) from generate_series(1, " + QString::number(n) + ")",
                         {});
        while (q.next())
            ids.push_back(q.value(0).toLongLong());
        if (q.lastError().isValid() || int(ids.size()) != n)
            throw DbError(c_.errorMessage(q.lastError()));
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    const qint64 last =
        scalar(c_, "select max(coalesce((select seq from sqlite_sequence where name = '" + table +
                       "'), 0), coalesce((select max(" + key + ") from " + table + "), 0))")
            .toLongLong();
    for (int i = 1; i <= n; ++i)
        ids.push_back(last + i);
    return ids;
}

db::Statement& RowWriter::statement(const QString& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        it = statements_.emplace(sql, db::Statement(c_)).first;
        if (!it->second.prepare(sql))
            throw DbError(c_.errorMessage(it->second.lastError()));
    }
    return it->second;
}

// Rows per insert: the server takes many at once to save round trips; the file
// database runs in this process, where one prepared row at a time is fastest.
int RowWriter::rowsPerInsert(int columns) const {
    if (c_.engine() == db::Engine::SQLite)
        return 1;
    return std::clamp(kMaxBoundValues / columns, 1, kMaxRowsPerInsert);
}

bool RowWriter::write(const Shape& shape, const std::vector<QVariantList>& rows,
                      const std::vector<qint64>& ids, std::size_t first, std::size_t last,
                      QString* error) {
    const QString placeholders = "(" + QStringList(shape.names.size(), "?").join(", ") + ")";
    // The server's identity columns take our ids only when told to; its serial ones ignore it.
    const bool overriding = !ids.empty() && c_.engine() == db::Engine::PostgreSQL;
    db::Statement& q = statement("insert into " + shape.table + " (" + shape.names.join(", ") +
                                 ")" + (overriding ? " overriding system value" : "") + " values " +
                                 QStringList(int(last - first), placeholders).join(", "));
    int at = 0;
    for (std::size_t r = first; r < last; ++r) {
        if (!ids.empty())
            q.bindValue(at++, ids[r]);
        for (const QVariant& v : rows[r])
            q.bindValue(at++, v);
    }
    if (q.exec())
        return true;
    *error = c_.errorMessage(q.lastError(), shape.table);
    return false;
}

std::vector<qint64> RowWriter::insert(const QString& table, const QString& key,
                                      const QStringList& columns,
                                      const std::vector<QVariantList>& rows,
                                      const std::vector<qint64>& sourceKeys) {
    if (rows.empty())
        return {};
    const std::vector<qint64> ids =
        key.isEmpty() ? std::vector<qint64>{} : reserveIds(table, key, int(rows.size()));
    const Shape shape{table, key.isEmpty() ? columns : QStringList{key} + columns};
    const auto rowMessage = [&](const QString& error, std::size_t r) {
        return error + QString::fromUtf8(" (جدول «%1»، رديف شماره %2 مبدا)")
                           .arg(table, QString::number(sourceKeys[r]));
    };
    const std::size_t perInsert = rowsPerInsert(int(shape.names.size()));
    for (std::size_t first = 0; first < rows.size(); first += perInsert) {
        const std::size_t last = std::min(rows.size(), first + perInsert);
        const bool several = last - first > 1;
        if (several)
            runStatement(c_, "savepoint rows");
        QString error;
        if (write(shape, rows, ids, first, last, &error)) {
            if (several)
                runStatement(c_, "release savepoint rows");
            continue;
        }
        if (!several)
            throw DbError(rowMessage(error, first));
        // The engine refused one of several rows: write them one by one to name it. A lost
        // connection refuses the rollback too, with nothing to say; its first reason stands.
        try {
            runStatement(c_, "rollback to savepoint rows");
        } catch (const DbError&) {
            throw DbError(error);
        }
        for (std::size_t r = first; r < last; ++r)
            if (QString alone; !write(shape, rows, ids, r, r + 1, &alone))
                throw DbError(rowMessage(alone, r));
        throw DbError(error);
    }
    return ids;
}

} // namespace gc::transfer
