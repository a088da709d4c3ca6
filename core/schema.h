#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace gc {

namespace db {
class Connection;
}
class Tdm;

struct ColumnSpec {
    QString name;
    QString type;
};

// A table as the set-up creates it, and the columns later steps add to it.
struct TableSpec {
    QString name;
    std::vector<ColumnSpec> columns;
    std::vector<ColumnSpec> added;
};

// The password the set-up gives the administrator "admin" it seeds.
inline constexpr const char* kInitialAdminPassword = "1";

// The 22 tables in creation order.
const std::vector<TableSpec>& SchemaTables();

struct SchemaResult {
    QStringList missing;  // "table" or "table.column" still absent afterwards
    QStringList failures; // the database's reasons for the steps that failed
    bool complete() const { return missing.isEmpty(); }
    QString message() const;
};

// Creates what is missing of the schema on the data module's connection, step by step,
// and seeds the administrator with the right to the users page. Safe to run again.
SchemaResult EnsureSchema(Tdm& dm);
// The same on any open connection, such as a transfer's destination.
SchemaResult EnsureSchema(db::Connection& connection);

} // namespace gc
