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
    // Throws DbError: a connection failed, or the destination is the source.
    Preflight(const TransferOptions& options, const QString& namePrefix);

    // Tables the run writes that the destination lacks.
    QStringList missingTables();
    SchemaResult setUpSchema() { return EnsureSchema(ends_.destination); }

    // "label: rows" for every section whose range already holds rows in the destination.
    QStringList occupiedSections();

    QString destinationName() const;

  private:
    TransferOptions options_;
    Ends ends_;
};

// The questions asked before a run writes anything.
QString schemaQuestion(const QString& destination);
QString deleteQuestion(const QString& destination, const TransferOptions& options);
QString doublingQuestion(const QString& destination, const QStringList& occupied);

} // namespace gc::transfer
