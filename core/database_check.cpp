#include "core/database_check.h"

#include "core/accounts.h"
#include "core/data_module.h"
#include "platform/db/db_error.h"

namespace gc {

DatabaseCheck CheckDatabase(Tdm& dm) {
    db::Connection& connection = dm.ADOConnection1;
    try {
        connection.forgetSchema();
        if (!connection.tableInfo("users"))
            return {connection.tables().isEmpty() ? DatabaseState::Empty
                                                  : DatabaseState::NoProgramTables,
                    {}};
        UserNames(dm);
        return {};
    } catch (const db::DbError& e) {
        return {DatabaseState::Unreadable, e.message()};
    }
}

} // namespace gc
