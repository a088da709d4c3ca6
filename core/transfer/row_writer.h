#pragma once

#include "platform/db/connection.h"
#include "platform/db/statement.h"

#include <QString>
#include <QVariant>
#include <map>
#include <vector>

namespace gc::transfer {

// Writes rows into the destination: new ids from the destination's own numbering, taken
// before the rows are written so that each source row knows its copy; several rows per
// statement where the server is a round trip away.
class RowWriter {
  public:
    explicit RowWriter(db::Connection& destination) : c_(destination) {}

    // `rows` hold the destination's values of `columns`; `sourceKeys` name them in
    // messages. `key` is the table's auto-numbered key, empty for the table without one.
    // Returns the new ids, one per row (none without a key). Throws DbError.
    std::vector<qint64> insert(const QString& table, const QString& key, const QStringList& columns,
                               const std::vector<QVariantList>& rows,
                               const std::vector<qint64>& sourceKeys);

  private:
    struct Shape {
        QString table;
        QStringList names; // the key first, where the table has one
    };
    // Rows [first, last) in one statement; false, with the engine's reason, when refused.
    bool write(const Shape& shape, const std::vector<QVariantList>& rows,
               const std::vector<qint64>& ids, std::size_t first, std::size_t last, QString* error);
    std::vector<qint64> reserveIds(const QString& table, const QString& key, int n);
    db::Statement& statement(const QString& sql);
    int rowsPerInsert(int columns) const;

    db::Connection& c_;
    std::map<QString, db::Statement> statements_; // one prepared insert per shape, for the run
};

} // namespace gc::transfer
