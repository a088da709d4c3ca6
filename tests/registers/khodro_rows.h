#pragma once

#include "core/data_module.h"
#include "support/test_db.h"

#include <QString>
#include <memory>
#include <vector>

// A small vehicle table with every kind of value the filters meet: blank dates, quotes,
// percent signs, both vehicle types.
namespace gctest::khodro {

struct Row {
    QString ranande, num, exit_dat, exit_tim, vorod_dat, vorod_tim, khodro_typ, cmt;
};

std::vector<Row> sampleRows();

// A fresh database of `backend` with the schema; nullptr (and a skip reason) when the
// backend is not available.
std::unique_ptr<gc::Tdm> freshModule(Backend backend);

void insertRows(gc::Tdm& dm, const std::vector<Row>& rows);

// The SQLite file behind a connection string ("Data Source=...").
QString sqliteFile(const QString& connectionString);

// Runs the sqlite3 tool on `file` and returns its trimmed output.
QString sqlite3(const QString& file, const QString& sql);

} // namespace gctest::khodro
