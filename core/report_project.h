#pragma once

#include <QByteArray>
#include <QString>

namespace gc {

class Tdm;

// Whether `fileName` is a report project: its text from the last "." on is exactly
// ".rav", in lower case.
bool IsReportProjectFile(const QString& fileName);

// Makes `bytes` the single row of `table` (zamaem or molaghat_file): the old rows are
// deleted through ADOQuery1 and the new one appended through ADOQ_zamaem, in one
// transaction, so a failure keeps the old row. Throws db::DbError.
void StoreReportProject(Tdm& dm, const QString& table, const QByteArray& bytes);

} // namespace gc
