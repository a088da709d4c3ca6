#include "registers/shared/grid_export.h"

#include "core/persian_date.h"
#include "platform/db/db_error.h"
#include "platform/db/query.h"
#include "platform/ui/dialogs.h"
#include "platform/xlsx/spreadsheet.h"

namespace gc::registers {

namespace {

// Puts the list back on the row it was on, however the export ends.
class KeepCurrentRow {
  public:
    explicit KeepCurrentRow(db::Query& q) : query_(q), recNo_(q.isActive() ? q.recNo() : 0) {}
    ~KeepCurrentRow() {
        try {
            if (recNo_ > 0 && query_.isActive())
                query_.setRecNo(recNo_);
        } catch (const db::DbError&) {
            // The export already says why it stopped; a throw here would end the program.
        }
    }
    KeepCurrentRow(const KeepCurrentRow&) = delete;
    KeepCurrentRow& operator=(const KeepCurrentRow&) = delete;

  private:
    db::Query& query_;
    int recNo_;
};

// Field i of row r (both from 0), read in row order.
using CellText = std::function<QString(int row, int field)>;

void writeSheet(const QStringList& fields, const CaptionMap& captions, xlsx::Worksheet& sheet,
                int count, const CellText& cell) {
    for (int i = 0; i < fields.size(); ++i) {
        sheet.Cells(1, i + 1).setValue(captionFor(captions, fields[i]));
        sheet.Columns(i + 1).setColumnWidth(10);
    }
    // The rows are read as the file is written, so a long list is never held whole.
    sheet.streamRows(2, count, int(fields.size()),
                     [cell](int row, int column) { return cell(row - 2, column - 1).trimmed(); });
    sheet.Range(QStringLiteral("A1:AA1")).Font().setBold(true);
    sheet.Range(QStringLiteral("A1:M1")).Borders().setLineStyle(xlsx::LineStyle::xlSlantDashDot);
    // The data rows are rows 2 to count + 1; an empty list has no data border.
    if (count > 0)
        sheet.Range(QStringLiteral("A2:M%1").arg(count + 1))
            .Borders()
            .setLineStyle(xlsx::LineStyle::xlContinuous);
}

// Writes one workbook through the spreadsheet calls and hands it to the desktop.
void deliver(ExportOutcome& out, const QStringList& fields, const CaptionMap& captions,
             const CellText& cell, xlsx::FileOpener& opener, const QString& folder,
             const QString& name) {
    xlsx::Application excel(opener, folder, name);
    excel.Visible = true;
    excel.WorkBooks().Add(xlsx::xlWBATWorksheet);
    excel.WorkBooks().Item(1)->WorkSheets(1)->setName(QStringLiteral("Sheet1"));
    writeSheet(fields, captions, *excel.WorkBooks().Item(1)->WorkSheets(QStringLiteral("Sheet1")),
               out.rows, cell);
    const std::vector<xlsx::Delivery> shown = excel.show();
    if (!shown.empty()) {
        out.path = shown.front().path;
        out.opened = shown.front().opened;
        out.error = shown.front().error;
    }
}

void tellUser(const ExportOutcome& out) {
    if (!out.error.isEmpty())
        ui::showMessage(ui::MsgIcon::Error, out.error);
    else if (!out.opened)
        ui::dialogs().selectableMessage(ui::MsgIcon::Information, xlsx::notOpenedMessage(out.path));
}

} // namespace

QString captionFor(const CaptionMap& captions, const QString& field) {
    for (const auto& [name, caption] : captions)
        if (name == field)
            return caption;
    return field;
}

QString ExportName(const QString& list, const QDateTime& moment) {
    const TPersianDate day = PersianDateOf(moment.date());
    const auto twoDigits = [](int n) {
        return QString::number(n).rightJustified(2, QLatin1Char('0'));
    };
    return QStringLiteral("%1 %2-%3-%4 %5")
        .arg(list, QString::number(day.PYear), twoDigits(day.PMonth), twoDigits(day.PDay),
             moment.time().toString(QStringLiteral("HH-mm-ss")));
}

ExportOutcome ExportGridToExcel(db::Query& list, const CaptionMap& captions,
                                xlsx::FileOpener& opener, const QString& folder,
                                const QString& name) {
    ExportOutcome out;
    try {
        KeepCurrentRow keep(list);
        if (!list.isActive())
            list.open();
        list.first();
        out.rows = list.recordCount();
        // Rows are asked for in order, each once: the list moves along as they are read.
        int at = 0;
        const CellText cell = [&](int row, int field) {
            for (; at < row && !list.eof(); ++at)
                list.next();
            return list.eof() ? QString() : list.field(field).asString();
        };
        deliver(out, list.fieldNames(), captions, cell, opener, folder, name);
    } catch (const db::DbError& e) {
        out.error = e.message();
    }
    tellUser(out);
    return out;
}

ExportOutcome ExportRowsToExcel(const QStringList& fields, const std::vector<QStringList>& rows,
                                const CaptionMap& captions, xlsx::FileOpener& opener,
                                const QString& folder, const QString& name) {
    ExportOutcome out;
    out.rows = int(rows.size());
    deliver(
        out, fields, captions,
        [&](int row, int field) { return rows[std::size_t(row)].value(field); }, opener, folder,
        name);
    tellUser(out);
    return out;
}

} // namespace gc::registers
