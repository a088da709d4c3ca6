#include "platform/xlsx/xlsx_file.h"

#include "platform/text/bidi.h"
#include "platform/xlsx/spreadsheet.h"

#include <QFile>
#include <array>
#include <xlsxwriter.h>

namespace gc::xlsx {

namespace {

std::uint8_t lxwBorder(BorderStyle style) {
    switch (style) {
    case BorderStyle::None:
        return LXW_BORDER_NONE;
    case BorderStyle::Thin:
        return LXW_BORDER_THIN;
    case BorderStyle::Dashed:
        return LXW_BORDER_DASHED;
    case BorderStyle::Dotted:
        return LXW_BORDER_DOTTED;
    case BorderStyle::Double:
        return LXW_BORDER_DOUBLE;
    case BorderStyle::DashDot:
        return LXW_BORDER_DASH_DOT;
    case BorderStyle::DashDotDot:
        return LXW_BORDER_DASH_DOT_DOT;
    case BorderStyle::SlantDashDot:
        return LXW_BORDER_SLANT_DASH_DOT;
    }
    return LXW_BORDER_NONE;
}

// One file format per combination of bold and border style, made on first use.
class Formats {
  public:
    explicit Formats(lxw_workbook* book) : book_(book) {}

    lxw_format* get(bool bold, BorderStyle border) {
        if (!bold && border == BorderStyle::None)
            return nullptr;
        lxw_format*& f = made_[bold ? 1 : 0][std::size_t(border)];
        if (!f) {
            f = workbook_add_format(book_);
            if (bold)
                format_set_bold(f);
            format_set_border(f, lxwBorder(border));
        }
        return f;
    }

  private:
    lxw_workbook* book_;
    std::array<std::array<lxw_format*, 8>, 2> made_{};
};

QString lxwMessage(lxw_error e) {
    return QString::fromUtf8(lxw_strerror(e));
}

QString writeSheet(lxw_workbook* book, Formats& formats, Worksheet& sheet) {
    lxw_worksheet* ws = workbook_add_worksheet(book, sheet.Name().toUtf8().constData());
    if (!ws)
        return QStringLiteral("برگه «%1» ساخته نشد.").arg(sheet.Name());
    worksheet_right_to_left(ws);
    for (const auto& [column, width] : sheet.widths())
        worksheet_set_column(ws, lxw_col_t(column - 1), lxw_col_t(column - 1), width, nullptr);

    const auto& styles = sheet.styles();
    CellStore& store = sheet.cellStore();
    const auto& cells = store.ordered();
    int lastRow = store.lastRow();
    for (const RangeStyle& s : styles)
        lastRow = std::max(lastRow, s.range.lastRow);

    std::vector<const RangeStyle*> active;
    std::size_t next = 0;
    for (int row = 1; row <= lastRow; ++row) {
        std::size_t end = next;
        while (end < cells.size() && int(cells[end].row) == row)
            ++end;
        active.clear();
        int firstColumn = end > next ? int(cells[next].column) : kMaxColumns + 1;
        int lastColumn = end > next ? int(cells[end - 1].column) : 0;
        for (const RangeStyle& s : styles) {
            if (row >= s.range.firstRow && row <= s.range.lastRow) {
                active.push_back(&s);
                firstColumn = std::min(firstColumn, s.range.firstColumn);
                lastColumn = std::max(lastColumn, s.range.lastColumn);
            }
        }
        const auto r = lxw_row_t(row - 1);
        if (active.empty()) {
            for (std::size_t i = next; i < end; ++i) {
                const lxw_error e = worksheet_write_string(ws, r, lxw_col_t(cells[i].column - 1),
                                                           store.text(cells[i]), nullptr);
                if (e != LXW_NO_ERROR)
                    return lxwMessage(e);
            }
        } else {
            std::size_t i = next;
            for (int column = firstColumn; column <= lastColumn; ++column) {
                bool bold = false;
                BorderStyle border = BorderStyle::None;
                for (const RangeStyle* s : active) {
                    if (!s->range.contains(row, column))
                        continue;
                    bold = s->bold.value_or(bold);
                    border = s->border.value_or(border);
                }
                lxw_format* format = formats.get(bold, border);
                const auto c = lxw_col_t(column - 1);
                lxw_error e = LXW_NO_ERROR;
                if (i < end && int(cells[i].column) == column)
                    e = worksheet_write_string(ws, r, c, store.text(cells[i++]), format);
                else if (format)
                    e = worksheet_write_blank(ws, r, c, format);
                if (e != LXW_NO_ERROR)
                    return lxwMessage(e);
            }
        }
        next = end;
    }
    return {};
}

} // namespace

QString writeXlsx(const QString& path, const QString& scratchFolder,
                  const std::vector<Worksheet*>& sheets) {
    QByteArray scratch = QFile::encodeName(scratchFolder);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratch.isEmpty() ? nullptr : scratch.data();
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        return QStringLiteral("فایل %1 ساخته نشد.").arg(text::isolatedLtr(path));
    Formats formats(book);
    QString error;
    for (Worksheet* sheet : sheets) {
        error = writeSheet(book, formats, *sheet);
        if (!error.isEmpty())
            break;
    }
    const lxw_error closed = workbook_close(book);
    if (error.isEmpty() && closed != LXW_NO_ERROR)
        error = QStringLiteral("فایل %1 نوشته نشد: %2")
                    .arg(text::isolatedLtr(path), lxwMessage(closed));
    return error;
}

} // namespace gc::xlsx
