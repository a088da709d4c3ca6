#pragma once

#include <QString>
#include <functional>

class QSqlDatabase;

namespace gc::db {
class Connection;
}

namespace gcbench {

// A benchmark's database file kept between runs, because filling it takes long. Its name
// carries the generator's version and the schema's, so a changed generator or schema gets a
// new file; the schema found in the file is checked against the program's at each run as well.
// It is filled under a temporary name in the same folder and renamed into place
// only when its data checks out: a run stopped during the fill leaves no file that a later
// run would take for filled.
class KeptDatabaseFile {
  public:
    // Fills an empty database (the schema is not made yet); false when it could not.
    using Fill = std::function<bool(gc::db::Connection&)>;
    // What is wrong with the data, or nothing when it is what the benchmarks claim.
    using Check = std::function<QString(gc::db::Connection&)>;

    KeptDatabaseFile(const QString& folder, const QString& stem, int generatorVersion);

    // "<stem>-g<generator>-s<schema>.accdb" in the folder.
    const QString& path() const { return path_; }
    QString connectionString() const;

    // Leaves path() holding data that passes `check`: the kept file when it does, else a
    // new one. Returns what is wrong when even a new file fails, empty on success.
    QString prepare(const Fill& fill, const Check& check) const;

  private:
    QString checkFile(const QString& file, const Check& check) const;
    QString build(const Fill& fill, const Check& check) const;
    void removeLeftovers() const;

    QString folder_;
    QString stem_;
    QString path_;
};

// A short fingerprint of every statement the schema set-up leaves in a new database.
QString schemaVersion();

// The same fingerprint of the statements found in a file database's own schema; empty when
// it has none or cannot be read.
QString schemaDigest(const QSqlDatabase& db);

// The database file's connection string as the program writes it.
QString fileConnectionString(const QString& file);

} // namespace gcbench
