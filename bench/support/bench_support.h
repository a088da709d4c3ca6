#pragma once

#include "core/data_module.h"

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

// Runs the registered benchmarks with the command line's options.
inline int runBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace gcbench
