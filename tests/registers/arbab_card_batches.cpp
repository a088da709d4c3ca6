// Runs blank-card batches against a database, as another workstation does, and prints each
// batch's card numbers on a line of its own.
#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "registers/arbab/core/visit_print_sql.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: arbab_card_batches <connection string> <batches> <cards>\n");
        return 2;
    }
    gc::Tdm dm;
    try {
        dm.ADOConnection1.setConnectionString(args[1]);
        dm.ADOConnection1.open();
        for (int b = 0; b < args[2].toInt(); ++b) {
            QStringList numbers;
            for (const auto& card : gc::registers::arbab::issueBlankCards(
                     dm.ADOConnection1, dm.ADOQuery1, dm.ADOQ_barcod, args[3].toInt()))
                numbers << QString::number(card.number);
            std::printf("%s\n", qPrintable(numbers.join(' ')));
            std::fflush(stdout);
        }
    } catch (const gc::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
