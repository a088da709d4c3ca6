#pragma once

#include "platform/db/connection.h"
#include "platform/db/statement.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace gc::transfer {

struct SourceRow {
    qint64 key = 0; // the source's key; the row's place for the table without a key
    QVariantList values;
};

// Reads one statement's rows forward, in one pass, and hands them on a chunk at a time:
// at most `chunkRows` rows and about `chunkBytes` of pictures, so memory stays flat and
// Cancel is looked at often. Nothing else may run on the connection meanwhile.
class ChunkReader {
  public:
    // `sql` selects the key first when `keyed`, then the values. Throws DbError.
    ChunkReader(db::Connection& c, const QString& sql, bool keyed, int chunkRows);

    // False once every row was read. Throws DbError.
    bool next(std::vector<SourceRow>& rows);

  private:
    db::Connection& c_;
    db::Statement query_;
    bool keyed_;
    int chunkRows_;
    qint64 place_ = 0;
    bool done_ = false;
};

} // namespace gc::transfer
