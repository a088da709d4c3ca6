// A separate copy of the program's data layer for the shared-file test: saves rows into
// table w and prints each saved id on its own line as soon as the save returns.
//   db_writer CONNECTION-STRING WHO COUNT PAUSE-MS
// COUNT 0: until its standard input is closed (a normal end) or it is killed.
#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

bool inputClosed() {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return poll(&input, 1, 0) > 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fputs("usage: db_writer CONNECTION-STRING WHO COUNT PAUSE-MS\n", stderr);
        return 2;
    }
    const int count = args[3].toInt();
    const int pauseMs = args[4].toInt();
    gc::db::Connection connection("writer");
    connection.setConnectionString(args[1]);
    try {
        connection.open();
        gc::db::Query q(connection, "w");
        q.setSql("select * from w where id<0");
        q.open();
        for (int i = 0; count == 0 ? !inputClosed() : i < count; ++i) {
            q.append();
            q.fieldByName("who").setAsString(args[2]);
            q.fieldByName("n").setAsInteger(i);
            q.post();
            std::printf("%lld\n", static_cast<long long>(q.fieldByName("id").asInteger()));
            std::fflush(stdout);
            QThread::msleep(pauseMs);
        }
    } catch (const gc::db::DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
