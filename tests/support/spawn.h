#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace gctest {

// What a program printed and how it ended.
struct Ran {
    int exitCode = -1; // -1 when it could not be started or did not end by itself
    QByteArray out;
};

// Runs `program` (looked up on PATH) to its end and reads its standard output. Through
// posix_spawn rather than QProcess: QProcess starts its child sharing the test's memory
// until exec, and the child's calls then corrupt the thread checker's view of the test's
// own threads.
Ran runProgram(const QString& program, const QStringList& args);

} // namespace gctest
