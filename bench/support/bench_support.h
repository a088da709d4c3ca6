#pragma once

#include "core/data_module.h"

#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace gcbench {

// Opens the data module on a new database file in `dir`.
inline void openFileDatabase(gc::Tdm& dm, const QTemporaryDir& dir) {
    dm.ADOConnection1.setConnectionString(
        "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + dir.filePath("bench.accdb") +
        ";Persist Security Info=False");
    dm.ADOConnection1.open();
}

// Opens the data module on the server database named by the connection string in
// GC_BENCH_PG when it is set, otherwise on a new database file in `dir`. Returns the engine's
// name for the report.
inline QString openBenchDatabase(gc::Tdm& dm, const QTemporaryDir& dir) {
    const QString server = qEnvironmentVariable("GC_BENCH_PG");
    if (server.isEmpty()) {
        openFileDatabase(dm, dir);
        return QStringLiteral("SQLite");
    }
    dm.ADOConnection1.setConnectionString(server);
    dm.ADOConnection1.open();
    return QStringLiteral("PostgreSQL");
}

// Day `day` as a date text from 1400/01/01 on, in months of 30 days: enough for spreading
// rows over dates that compare in order.
inline QString dayText(int day) {
    return QStringLiteral("14%1/%2/%3")
        .arg(day / 360, 2, 10, QChar('0'))
        .arg(day / 30 % 12 + 1, 2, 10, QChar('0'))
        .arg(day % 30 + 1, 2, 10, QChar('0'));
}

// Runs the registered benchmarks with the command line's options.
inline int runBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace gcbench
