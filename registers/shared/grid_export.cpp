#include "registers/shared/grid_export.h"

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
        if (recNo_ > 0 && query_.isActive())
            query_.setRecNo(recNo_);
    }
    KeepCurrentRow(const KeepCurrentRow&) = delete;
    KeepCurrentRow& operator=(const KeepCurrentRow&) = delete;

  private:
    db::Query& query_;
    int recNo_;
};

void writeSheet(db::Query& list, const CaptionMap& captions, xlsx::Worksheet& sheet, int count) {
    const int fields = list.fieldCount();
    for (int i = 0; i < fields; ++i) {
        sheet.Cells(1, i + 1).setValue(captionFor(captions, list.fieldDef(i).name));
        sheet.Columns(i + 1).setColumnWidth(10);
    }
    for (int r = 0; r < count && !list.eof(); ++r) {
        for (int i = 0; i < fields; ++i)
            sheet.Cells(r + 2, i + 1).setValue(list.field(i).asString().trimmed());
        list.next();
    }
    sheet.Range(QStringLiteral("A1:AA1")).Font().setBold(true);
    sheet.Range(QStringLiteral("A1:M1")).Borders().setLineStyle(xlsx::LineStyle::xlSlantDashDot);
    // The data rows are rows 2 to count + 1; an empty list has no data border.
    if (count > 0)
        sheet.Range(QStringLiteral("A2:M%1").arg(count + 1))
            .Borders()
            .setLineStyle(xlsx::LineStyle::xlContinuous);
}

} // namespace

QString captionFor(const CaptionMap& captions, const QString& field) {
    for (const auto& [name, caption] : captions)
        if (name == field)
            return caption;
    return field;
}

ExportOutcome ExportGridToExcel(db::Query& list, const CaptionMap& captions,
                                xlsx::FileOpener& opener, const QString& folder) {
    ExportOutcome out;
    try {
        KeepCurrentRow keep(list);
        if (!list.isActive())
            list.open();
        list.first();
        out.rows = list.recordCount();

        xlsx::Application excel(opener, folder);
        excel.Visible = true;
        excel.WorkBooks().Add(xlsx::xlWBATWorksheet);
        excel.WorkBooks().Item(1)->WorkSheets(1)->setName(QStringLiteral("Sheet1"));
        writeSheet(list, captions, *excel.WorkBooks().Item(1)->WorkSheets(QStringLiteral("Sheet1")),
                   out.rows);
        const std::vector<xlsx::Delivery> shown = excel.show();
        if (!shown.empty()) {
            out.path = shown.front().path;
            out.opened = shown.front().opened;
            out.error = shown.front().error;
        }
    } catch (const db::DbError& e) {
        out.error = e.message();
    }
    if (!out.error.isEmpty())
        ui::showMessage(ui::MsgIcon::Error, out.error);
    else if (!out.opened)
        ui::showMessage(ui::MsgIcon::Information, xlsx::notOpenedMessage(out.path));
    return out;
}

} // namespace gc::registers
