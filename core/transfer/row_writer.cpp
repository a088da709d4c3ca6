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
        QSqlQuery q =
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

QSqlQuery& RowWriter::statement(const QString& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) {
        it = statements_.emplace(sql, QSqlQuery(c_.database())).first;
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

std::vector<qint64> RowWriter::insert(const QString& table, const QStringList& columns,
                                      const std::vector<QVariantList>& rows,
                                      const std::vector<qint64>& sourceKeys) {
    if (rows.empty())
        return {};
    const QString key = c_.tableInfo(table)->keyColumn;
    const std::vector<qint64> ids =
        key.isEmpty() ? std::vector<qint64>{} : reserveIds(table, key, int(rows.size()));
    const QStringList names = key.isEmpty() ? columns : QStringList{key} + columns;
    const QString placeholders = "(" + QStringList(names.size(), "?").join(", ") + ")";
    const std::size_t perInsert = rowsPerInsert(int(names.size()));
    for (std::size_t first = 0; first < rows.size(); first += perInsert) {
        const std::size_t last = std::min(rows.size(), first + perInsert);
        QSqlQuery& q = statement("insert into " + table + " (" + names.join(", ") + ") values " +
                                 QStringList(int(last - first), placeholders).join(", "));
        int at = 0;
        for (std::size_t r = first; r < last; ++r) {
            if (!key.isEmpty())
                q.bindValue(at++, ids[r]);
            for (const QVariant& v : rows[r])
                q.bindValue(at++, v);
        }
        if (!q.exec())
            throw DbError(c_.errorMessage(q.lastError()) +
                          QString::fromUtf8(" (جدول «%1»، رديف هاي شماره %2 تا %3 مبدا)")
                              .arg(table)
                              .arg(sourceKeys[first])
                              .arg(sourceKeys[last - 1]));
    }
    return ids;
}

} // namespace gc::transfer
