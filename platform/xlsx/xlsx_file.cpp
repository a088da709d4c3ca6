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

// A cell of the row being written: its column and its text as NUL-terminated UTF-8.
struct RowCell {
    int column;
    const char* text;
};

// Gives the sheet's rows in order, each once: stored cells, or a stream's texts read now.
class RowReader {
  public:
    explicit RowReader(Worksheet& sheet)
        : store_(sheet.cellStore()), cells_(store_.ordered()), stream_(sheet.rowStream()) {}

    // Row `row`'s cells in column order into `out`; the error text of a cell that cannot
    // be written, empty when all can.
    QString read(int row, std::vector<RowCell>& out) {
        out.clear();
        if (stream_ && stream_->holds(row))
            return readStream(row, out);
        for (; next_ < cells_.size() && int(cells_[next_].row) == row; ++next_)
            out.push_back({int(cells_[next_].column), store_.text(cells_[next_])});
        return {};
    }

    int lastRow() const { return std::max(store_.lastRow(), stream_ ? stream_->lastRow() : 0); }

  private:
    QString readStream(int row, std::vector<RowCell>& out) {
        texts_.clear();
        offsets_.clear();
        for (int column = 1; column <= stream_->columns; ++column) {
            const QString text = stream_->cell(row, column);
            if (QString e = cellTextError(row, column, text); !e.isEmpty())
                return e;
            offsets_.push_back(texts_.size());
            texts_.append(text.toUtf8());
            texts_.push_back('\0');
        }
        for (int i = 0; i < stream_->columns; ++i)
            out.push_back({i + 1, texts_.data() + offsets_[std::size_t(i)]});
        return {};
    }

    CellStore& store_;
    const std::vector<CellStore::Cell>& cells_;
    const std::optional<RowStream>& stream_;
    std::size_t next_ = 0;
    std::string texts_;
    std::vector<std::size_t> offsets_;
};

QString writeRow(lxw_worksheet* ws, Formats& formats, int row, const std::vector<RowCell>& cells,
                 const std::vector<const RangeStyle*>& active) {
    const auto r = lxw_row_t(row - 1);
    if (active.empty()) {
        for (const RowCell& cell : cells) {
            const lxw_error e =
                worksheet_write_string(ws, r, lxw_col_t(cell.column - 1), cell.text, nullptr);
            if (e != LXW_NO_ERROR)
                return lxwMessage(e);
        }
        return {};
    }
    int firstColumn = cells.empty() ? kMaxColumns + 1 : cells.front().column;
    int lastColumn = cells.empty() ? 0 : cells.back().column;
    for (const RangeStyle* s : active) {
        firstColumn = std::min(firstColumn, s->range.firstColumn);
        lastColumn = std::max(lastColumn, s->range.lastColumn);
    }
    auto next = cells.begin();
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
        if (next != cells.end() && next->column == column)
            e = worksheet_write_string(ws, r, c, (next++)->text, format);
        else if (format)
            e = worksheet_write_blank(ws, r, c, format);
        if (e != LXW_NO_ERROR)
            return lxwMessage(e);
    }
    return {};
}

QString writeSheet(lxw_workbook* book, Formats& formats, Worksheet& sheet) {
    lxw_worksheet* ws = workbook_add_worksheet(book, sheet.Name().toUtf8().constData());
    if (!ws)
        return QStringLiteral("برگه «%1» ساخته نشد.").arg(sheet.Name());
    worksheet_right_to_left(ws);
    for (const auto& [column, width] : sheet.widths())
        worksheet_set_column(ws, lxw_col_t(column - 1), lxw_col_t(column - 1), width, nullptr);

    const auto& styles = sheet.styles();
    RowReader rows(sheet);
    int lastRow = rows.lastRow();
    for (const RangeStyle& s : styles)
        lastRow = std::max(lastRow, s.range.lastRow);

    std::vector<RowCell> cells;
    std::vector<const RangeStyle*> active;
    for (int row = 1; row <= lastRow; ++row) {
        if (QString e = rows.read(row, cells); !e.isEmpty())
            return e;
        active.clear();
        for (const RangeStyle& s : styles) {
            if (row >= s.range.firstRow && row <= s.range.lastRow)
                active.push_back(&s);
        }
        if (QString e = writeRow(ws, formats, row, cells, active); !e.isEmpty())
            return e;
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
    try {
        for (Worksheet* sheet : sheets) {
            error = writeSheet(book, formats, *sheet);
            if (!error.isEmpty())
                break;
        }
    } catch (...) {
        // A stream's source failed: drop the half-written book and its spool.
        lxw_workbook_free(book);
        throw;
    }
    const lxw_error closed = workbook_close(book);
    if (error.isEmpty() && closed != LXW_NO_ERROR)
        error = QStringLiteral("فایل %1 نوشته نشد: %2")
                    .arg(text::isolatedLtr(path), lxwMessage(closed));
    return error;
}

} // namespace gc::xlsx
