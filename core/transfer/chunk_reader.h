#pragma once

#include "platform/db/connection.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace gc::transfer {

struct SourceRow {
    qint64 key = 0; // the source's key; the row's place for the table without a key
    QVariantList values;
};

// Reads a table's selected rows in order of its key, a chunk at a time; the table
// without a key in one go.
class ChunkReader {
  public:
    ChunkReader(db::Connection& c, QString select, QString from, QString where, QVariantList binds,
                QString key, int chunkRows)
        : c_(c), select_(std::move(select)), from_(std::move(from)), where_(std::move(where)),
          binds_(std::move(binds)), key_(std::move(key)), chunkRows_(chunkRows) {}

    // False once every row was read. Throws DbError.
    bool next(std::vector<SourceRow>& rows);

  private:
    db::Connection& c_;
    QString select_, from_, where_;
    QVariantList binds_;
    QString key_;
    int chunkRows_;
    qint64 last_ = -1;
    bool done_ = false;
};

} // namespace gc::transfer
