#include "core/report_project.h"

#include "core/data_module.h"
#include "platform/db/db_error.h"

namespace gc {

bool IsReportProjectFile(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && fileName.mid(dot) == QLatin1String(".rav");
}

void StoreReportProject(Tdm& dm, const QString& table, const QByteArray& bytes) {
    db::Connection& connection = dm.ADOConnection1;
    db::Query& scratch = dm.ADOQuery1;
    db::Query& files = dm.ADOQ_zamaem;
    connection.beginTransaction();
    try {
        scratch.sql().clear();
        scratch.sql().add("Delete From " + table + " ");
        scratch.execSql();
        files.sql().clear();
        files.sql().add("select * From " + table + " ");
        files.open();
        files.append();
        files.fieldByName("pic").setBytes(bytes);
        files.post();
        connection.commit();
    } catch (const db::DbError&) {
        if (files.state() == db::Query::State::Insert)
            files.cancel();
        connection.rollback();
        files.close();
        throw;
    }
}

} // namespace gc
