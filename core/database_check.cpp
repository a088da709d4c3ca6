#include "core/database_check.h"

#include "core/accounts.h"
#include "core/data_module.h"
#include "platform/db/db_error.h"
#include "platform/text/bidi.h"

namespace gc {

DatabaseCheck CheckDatabase(Tdm& dm) {
    db::Connection& connection = dm.ADOConnection1;
    try {
        connection.forgetSchema();
        if (!connection.tableInfo("users")) {
            const QStringList tables = connection.tables();
            return {tables.isEmpty() ? DatabaseState::Empty : DatabaseState::NoProgramTables,
                    {},
                    tables};
        }
        UserNames(dm);
        connection.useAsOwnFile();
        return {};
    } catch (const db::DbError& e) {
        return {DatabaseState::Unreadable, e.message(), {}};
    }
}

QString OtherTablesNote(const QStringList& tables) {
    constexpr int kNamed = 3;
    QStringList sorted = tables;
    sorted.sort();
    QStringList named;
    for (const QString& t : sorted.mid(0, kNamed))
        named << text::quotedLtr(t);
    QString list = named.join(QString::fromUtf8("، "));
    if (tables.size() > kNamed)
        list += QString::fromUtf8(" و %1 جدول ديگر").arg(tables.size() - kNamed);
    return QString::fromUtf8("اين بانک اطلاعاتي جدول هاي ديگري دارد (%1)؛ ساختن جدول ها، جدول "
                             "هاي اين برنامه را کنار آنها مي افزايد و به آنها دست نمي زند.")
        .arg(list);
}

} // namespace gc
