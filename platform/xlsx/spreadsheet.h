#pragma once

#include "platform/xlsx/cell_range.h"
#include "platform/xlsx/cell_store.h"
#include "platform/xlsx/file_opener.h"
#include "platform/xlsx/line_style.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// A small spreadsheet object model with the calls of a list export (application,
// workbooks, worksheets, cells, column widths, range fonts and borders). Nothing is
// drawn while the calls are made: cells and styles are recorded, and the workbook is
// streamed row by row into an .xlsx file when it is shown. A list's rows can be given as
// a stream that is read only then, so that they never need to be held.
namespace gc::xlsx {

// Workbook template of Workbooks.Add: one worksheet.
inline constexpr int xlWBATWorksheet = -4167;

class Worksheet;

class CellRef {
  public:
    CellRef(Worksheet& sheet, int row, int column) : sheet_(sheet), row_(row), column_(column) {}
    // The value is always kept as text, so "0012" stays "0012".
    bool setValue(const QString& text);

  private:
    Worksheet& sheet_;
    int row_;
    int column_;
};

class ColumnRef {
  public:
    ColumnRef(Worksheet& sheet, int column) : sheet_(sheet), column_(column) {}
    bool setColumnWidth(double characters);

  private:
    Worksheet& sheet_;
    int column_;
};

class RangeFont {
  public:
    RangeFont(Worksheet& sheet, std::optional<CellRange> range) : sheet_(sheet), range_(range) {}
    bool setBold(bool bold);

  private:
    Worksheet& sheet_;
    std::optional<CellRange> range_;
};

class RangeBorders {
  public:
    RangeBorders(Worksheet& sheet, std::optional<CellRange> range) : sheet_(sheet), range_(range) {}
    // Every edge of every cell of the range, inner lines included; `style` is an
    // automation line-style number (see line_style.h).
    bool setLineStyle(int style);

  private:
    Worksheet& sheet_;
    std::optional<CellRange> range_;
};

// An address that names no range of the sheet ("A2:M0") is an error of the sheet, as the
// automation's call fails; styles on it are refused.
class RangeRef {
  public:
    RangeRef(Worksheet& sheet, QString address);
    bool isValid() const { return range_.has_value(); }
    RangeFont Font() { return {sheet_, range_}; }
    RangeBorders Borders() { return {sheet_, range_}; }

  private:
    Worksheet& sheet_;
    QString address_;
    std::optional<CellRange> range_;
};

// A style given to a range; applied in the order given, a later one overriding.
struct RangeStyle {
    CellRange range;
    std::optional<bool> bold;
    std::optional<BorderStyle> border;
};

// The text of the cell at (row, column), asked for while the file is written.
using CellSource = std::function<QString(int row, int column)>;

// Rows whose texts are read only as the file is written.
struct RowStream {
    int firstRow = 1;
    int count = 0;
    int columns = 0;
    CellSource cell;

    int lastRow() const { return firstRow + count - 1; }
    bool holds(int row) const { return row >= firstRow && row <= lastRow(); }
};

class Workbook;

class Worksheet {
  public:
    Worksheet(Workbook& book, QString name) : book_(book), name_(std::move(name)) {}

    const QString& Name() const { return name_; }
    // Refused (false, error set) for a name that a spreadsheet cannot hold or that
    // another sheet of the workbook has.
    bool setName(const QString& name);
    CellRef Cells(int row, int column) { return {*this, row, column}; }
    ColumnRef Columns(int column) { return {*this, column}; }
    RangeRef Range(const QString& address) { return {*this, address}; }
    // Rows firstRow .. firstRow + count - 1, with `columns` cells each, whose texts `cell`
    // gives only while the file is written, row by row and each once: a long list goes
    // into the file as it is read instead of being held. Those rows take no other cells,
    // and a sheet has one stream.
    bool streamRows(int firstRow, int count, int columns, CellSource cell);

    // The first call that was refused; a sheet with an error is never written.
    const QString& error() const { return error_; }
    bool fail(const QString& message);

    // What the file writer streams.
    CellStore& cellStore() { return cells_; }
    const std::optional<RowStream>& rowStream() const { return stream_; }
    const std::vector<RangeStyle>& styles() const { return styles_; }
    const std::map<int, double>& widths() const { return widths_; }

  private:
    friend class CellRef;
    friend class ColumnRef;
    friend class RangeFont;
    friend class RangeBorders;

    Workbook& book_;
    QString name_;
    CellStore cells_;
    std::optional<RowStream> stream_;
    std::vector<RangeStyle> styles_;
    std::map<int, double> widths_;
    QString error_;
};

class Workbook {
  public:
    Workbook();

    Worksheet* WorkSheets(int index); // 1-based; nullptr when there is none
    Worksheet* WorkSheets(const QString& name);
    int sheetCount() const { return int(sheets_.size()); }

    // Writes the workbook as .xlsx to `path`; `scratchFolder` holds the writer's row
    // spool. Returns the error text, empty on success. A failed write leaves no file.
    QString saveAs(const QString& path, const QString& scratchFolder);
    // The first refused call on any of its sheets; empty when there was none.
    QString error() const;

  private:
    std::vector<std::unique_ptr<Worksheet>> sheets_;
};

class Workbooks {
  public:
    // Every template gives a workbook of one worksheet named "Sheet1".
    Workbook& Add(int templateKind = xlWBATWorksheet);
    Workbook* Item(int index); // 1-based; nullptr when there is none
    int Count() const { return int(books_.size()); }

  private:
    friend class Application;
    std::vector<std::unique_ptr<Workbook>> books_;
};

// What became of one workbook when it was shown.
struct Delivery {
    QString path;        // the written file; empty when nothing was written
    bool opened = false; // a spreadsheet application was started for it
    QString error;       // why nothing was written; empty on success
};

// Why a cell's text cannot be written, or empty when it can.
QString cellTextError(int row, int column, const QString& text);

// The text that tells the user where a file is when no application opened it.
QString notOpenedMessage(const QString& path);

class Application {
  public:
    // Workbooks are kept in `folder` (empty: keptFolder()) under `name` (empty: "export").
    explicit Application(FileOpener& opener, QString folder = {}, QString name = {});

    bool Visible = false;
    Workbooks& WorkBooks() { return workbooks_; }

    // Writes every workbook not shown before into a new file, never over an existing one,
    // and, when Visible, opens it in the desktop's spreadsheet application.
    std::vector<Delivery> show();

  private:
    FileOpener& opener_;
    QString folder_;
    QString name_;
    Workbooks workbooks_;
    std::size_t shown_ = 0;
};

} // namespace gc::xlsx
