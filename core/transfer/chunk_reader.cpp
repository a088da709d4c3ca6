#include "core/transfer/chunk_reader.h"

#include "core/transfer/statements.h"
#include "platform/db/db_error.h"

#include <QSqlError>
#include <QSqlRecord>

namespace gc::transfer {

namespace {

constexpr qsizetype kChunkBytes = 2 * 1024 * 1024;

qsizetype weight(const QVariant& v) {
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray().size() : 16;
}

} // namespace

ChunkReader::ChunkReader(db::Connection& c, const QString& sql, bool keyed, int chunkRows)
    : c_(c), query_(runStatement(c, sql)), keyed_(keyed), chunkRows_(chunkRows) {}

bool ChunkReader::next(std::vector<SourceRow>& rows) {
    rows.clear();
    const int width = query_.record().count();
    const int first = keyed_ ? 1 : 0;
    qsizetype bytes = 0;
    while (!done_ && int(rows.size()) < chunkRows_ && bytes < kChunkBytes) {
        if (!query_.next()) {
            done_ = true;
            if (query_.lastError().isValid())
                throw db::DbError(c_.errorMessage(query_.lastError()));
            query_.finish();
            break;
        }
        SourceRow row;
        row.key = keyed_ ? query_.value(0).toLongLong() : ++place_;
        for (int i = first; i < width; ++i) {
            row.values << query_.value(i);
            bytes += weight(row.values.back());
        }
        rows.push_back(std::move(row));
    }
    return !rows.empty();
}

} // namespace gc::transfer
