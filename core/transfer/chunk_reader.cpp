#include "core/transfer/chunk_reader.h"

#include "core/transfer/statements.h"
#include "platform/db/db_error.h"

#include <QSqlError>
#include <QSqlRecord>

namespace gc::transfer {

bool ChunkReader::next(std::vector<SourceRow>& rows) {
    rows.clear();
    if (done_)
        return false;
    QVariantList binds = binds_;
    QString sql;
    if (key_.isEmpty()) {
        sql = "select " + select_ + " from " + from_ + (where_.isEmpty() ? "" : " where " + where_);
        done_ = true;
    } else {
        sql = "select " + key_ + ", " + select_ + " from " + from_ + " where " +
              (where_.isEmpty() ? "" : where_ + " and ") + key_ + " > ? order by " + key_ +
              " limit " + QString::number(chunkRows_);
        binds << last_;
    }
    QSqlQuery q = runStatement(c_, sql, binds);
    const int offset = key_.isEmpty() ? 0 : 1;
    const int width = q.record().count();
    while (q.next()) {
        SourceRow row;
        row.key = offset ? q.value(0).toLongLong() : qint64(rows.size()) + 1;
        for (int i = offset; i < width; ++i)
            row.values << q.value(i);
        rows.push_back(std::move(row));
    }
    if (q.lastError().isValid())
        throw db::DbError(c_.errorMessage(q.lastError()));
    if (!key_.isEmpty()) {
        if (rows.size() < std::size_t(chunkRows_))
            done_ = true;
        if (!rows.empty())
            last_ = rows.back().key;
    }
    return !rows.empty();
}

} // namespace gc::transfer
