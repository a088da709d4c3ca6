#pragma once

#include "core/schema.h"
#include "core/transfer/ends.h"
#include "core/transfer/sections.h"

#include <QString>
#include <QStringList>

namespace gc::transfer {

// What is settled with the user before a run, on connections of its own: the
// destination is another database, it has the tables, and what it already holds.
class Preflight {
  public:
    // Throws DbError: a connection failed, or the destination is the source. A missing
    // destination file is made only when `create` says so.
    Preflight(const TransferOptions& options, const QString& namePrefix, bool create = false);

    // Tables the run writes that the destination lacks.
    QStringList missingTables();
    // "table.column" for every column the run writes that the destination's tables lack.
    QStringList missingColumns();
    // The destination's tables that are not the program's: another program's data.
    QStringList otherTables();
    SchemaResult setUpSchema() { return EnsureSchema(ends_.destination); }

    // "label: rows" for every section whose range already holds rows in the destination.
    QStringList occupiedSections();
    // The destination's users that a source user of the same name replaces; none when its
    // only account is the set-up's administrator.
    QStringList sameNameUsers();

  private:
    TransferOptions options_;
    Ends ends_;
};

// The questions asked before a run writes anything.
QString schemaQuestion(const QString& destination);
QString deleteQuestion(const QString& destination, const TransferOptions& options);
QString upgradeQuestion(const QString& destination, const QStringList& columns);
QString doublingQuestion(const QString& destination, const QStringList& occupied,
                         const QStringList& sameNameUsers);

} // namespace gc::transfer
