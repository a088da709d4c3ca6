// Another workstation adding users, for the accounts test: adds the names PREFIX0 ..
// PREFIX<COUNT-1> in order and prints one line per name: "created" or "taken".
//   user_creator CONNECTION-STRING PREFIX COUNT
#include "core/accounts.h"
#include "platform/db/connection.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fputs("usage: user_creator CONNECTION-STRING PREFIX COUNT\n", stderr);
        return 2;
    }
    gc::db::Connection connection("creator");
    connection.setConnectionString(args[1]);
    try {
        connection.open();
        gc::db::Query scratch(connection, "ADOQuery1");
        for (int i = 0; i < args[3].toInt(); ++i) {
            const auto result = gc::CreateUser(scratch, args[2] + QString::number(i), "p");
            std::puts(result == gc::NewUser::Created ? "created" : "taken");
        }
    } catch (const gc::db::DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
