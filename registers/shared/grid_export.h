#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace gc::db {
class Query;
}
namespace gc::xlsx {
class FileOpener;
}

namespace gc::registers {

// Field name -> caption of the export's header row, compared exactly; a field that is
// not in the map is headed by its own name.
using CaptionMap = QList<QPair<QString, QString>>;

QString captionFor(const CaptionMap& captions, const QString& field);

struct ExportOutcome {
    int rows = 0;
    QString path;        // the written workbook; empty when nothing was written
    bool opened = false; // a spreadsheet application was started for it
    QString error;       // why nothing was written
};

// Writes the list's rows, in its current order, into a new right-to-left workbook: the
// captions in row 1 (bold, slanted dash-dot borders on A1:M1), each field's trimmed text as
// text from row 2 (thin borders), every column 10 wide; then opens it in the desktop's
// spreadsheet application or, where none opens, says where it is kept, in text the user can
// select. The list's current row is kept. The workbook is kept in `folder` (empty: the
// "gatecontrol" folder under the user's documents) as `name` (ExportName), never over a file.
ExportOutcome ExportGridToExcel(db::Query& list, const CaptionMap& captions,
                                xlsx::FileOpener& opener, const QString& folder,
                                const QString& name);

// The same for rows held in memory: `rows[r][i]` is the text of `fields[i]` in row r.
ExportOutcome ExportRowsToExcel(const QStringList& fields, const std::vector<QStringList>& rows,
                                const CaptionMap& captions, xlsx::FileOpener& opener,
                                const QString& folder, const QString& name);

// The name an export is kept under: the list's caption, then the Solar Hijri date and the
// time of `moment`, e.g. "ليست تردد پرسنل 1403-07-01 14-30-05".
QString ExportName(const QString& list, const QDateTime& moment);

} // namespace gc::registers
