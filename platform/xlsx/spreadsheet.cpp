#include "platform/xlsx/spreadsheet.h"

#include "platform/text/bidi.h"
#include "platform/xlsx/kept_files.h"
#include "platform/xlsx/temp_files.h"
#include "platform/xlsx/xlsx_file.h"

#include <QFile>

namespace gc::xlsx {

namespace {

QString cellName(int row, int column) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

bool validSheetName(const QString& name) {
    static const QString forbidden = QStringLiteral("[]:*?/\\");
    if (name.isEmpty() || name.size() > 31 || name.startsWith(u'\'') || name.endsWith(u'\''))
        return false;
    for (QChar ch : name) {
        if (forbidden.contains(ch))
            return false;
    }
    return true;
}

QString outsideMessage(int row, int column) {
    return QStringLiteral("خانه (%1، %2) بیرون از برگه است.").arg(row).arg(column);
}

QString streamedRowMessage(int row) {
    return QStringLiteral(
               "ردیف %1 از فهرست نوشته می‌شود و خانه‌ی دیگری "
               "نمی‌گیرد.")
        .arg(row);
}

} // namespace

QString cellTextError(int row, int column, const QString& text) {
    if (text.size() <= kMaxCellText)
        return {};
    return QStringLiteral("متن خانه %1 از ۳۲۷۶۷ نویسه بلندتر است.").arg(cellName(row, column));
}

bool CellRef::setValue(const QString& text) {
    if (row_ < 1 || row_ > kMaxRows || column_ < 1 || column_ > kMaxColumns)
        return sheet_.fail(outsideMessage(row_, column_));
    if (sheet_.stream_ && sheet_.stream_->holds(row_))
        return sheet_.fail(streamedRowMessage(row_));
    if (const QString e = cellTextError(row_, column_, text); !e.isEmpty())
        return sheet_.fail(e);
    if (!sheet_.cells_.set(row_, column_, text))
        return sheet_.fail(QStringLiteral("متن برگه برای یک فایل بیش از اندازه بزرگ است."));
    return true;
}

bool ColumnRef::setColumnWidth(double characters) {
    if (column_ < 1 || column_ > kMaxColumns)
        return sheet_.fail(QStringLiteral("ستون %1 در برگه نیست.").arg(column_));
    if (!(characters >= 0 && characters <= 255))
        return sheet_.fail(QStringLiteral("پهنای ستون باید بین ۰ و ۲۵۵ باشد."));
    sheet_.widths_[column_] = characters;
    return true;
}

RangeRef::RangeRef(Worksheet& sheet, QString address)
    : sheet_(sheet), address_(std::move(address)), range_(parseRange(address_)) {
    if (!range_)
        sheet_.fail(QStringLiteral("محدوده «%1» در برگه نیست.").arg(address_));
}

bool RangeFont::setBold(bool bold) {
    if (!range_)
        return false;
    sheet_.styles_.push_back({*range_, bold, std::nullopt});
    return true;
}

bool RangeBorders::setLineStyle(int style) {
    const auto border = borderStyleFor(style);
    if (!range_)
        return false;
    if (!border)
        return sheet_.fail(QStringLiteral("سبک خط %1 شناخته نیست.").arg(style));
    sheet_.styles_.push_back({*range_, std::nullopt, *border});
    return true;
}

bool Worksheet::setName(const QString& name) {
    if (!validSheetName(name))
        return fail(QStringLiteral("نام برگه «%1» پذیرفتنی نیست.").arg(name));
    const Worksheet* other = book_.WorkSheets(name);
    if (other && other != this)
        return fail(QStringLiteral("برگه‌ای به نام «%1» هست.").arg(name));
    name_ = name;
    return true;
}

bool Worksheet::streamRows(int firstRow, int count, int columns, CellSource cell) {
    const RowStream stream{firstRow, count, columns, std::move(cell)};
    if (stream_)
        return fail(QStringLiteral("برگه «%1» بیش از یک فهرست گرفت.").arg(name_));
    if (count < 0 || firstRow < 1 || stream.lastRow() > kMaxRows || columns < 0 ||
        columns > kMaxColumns)
        return fail(outsideMessage(std::max(firstRow, stream.lastRow()), columns));
    if (cells_.anyInRows(firstRow, stream.lastRow()))
        return fail(streamedRowMessage(firstRow));
    stream_ = stream;
    return true;
}

bool Worksheet::fail(const QString& message) {
    if (error_.isEmpty())
        error_ = message;
    return false;
}

Workbook::Workbook() {
    sheets_.push_back(std::make_unique<Worksheet>(*this, QStringLiteral("Sheet1")));
}

Worksheet* Workbook::WorkSheets(int index) {
    return index >= 1 && index <= sheetCount() ? sheets_[std::size_t(index - 1)].get() : nullptr;
}

Worksheet* Workbook::WorkSheets(const QString& name) {
    for (const auto& sheet : sheets_) {
        if (sheet->Name().compare(name, Qt::CaseInsensitive) == 0)
            return sheet.get();
    }
    return nullptr;
}

QString Workbook::error() const {
    for (const auto& sheet : sheets_) {
        if (!sheet->error().isEmpty())
            return sheet->error();
    }
    return {};
}

QString Workbook::saveAs(const QString& path, const QString& scratchFolder) {
    std::vector<Worksheet*> sheets;
    for (const auto& sheet : sheets_)
        sheets.push_back(sheet.get());
    QString e = error();
    try {
        if (e.isEmpty())
            e = writeXlsx(path, scratchFolder, sheets);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    if (!e.isEmpty())
        QFile::remove(path);
    return e;
}

// The export asks for a one-sheet workbook; every workbook starts that way here.
Workbook& Workbooks::Add(int templateKind) {
    Q_UNUSED(templateKind);
    books_.push_back(std::make_unique<Workbook>());
    return *books_.back();
}

Workbook* Workbooks::Item(int index) {
    return index >= 1 && index <= Count() ? books_[std::size_t(index - 1)].get() : nullptr;
}

QString notOpenedMessage(const QString& path) {
    const QString said = QStringLiteral(
        "برنامه‌ای برای باز کردن فایل اکسل پیدا نشد. "
        "فایل در این مسیر ذخیره شد:\n");
    return said + text::isolatedLtr(path);
}

Application::Application(FileOpener& opener, QString folder, QString name)
    : opener_(opener), folder_(std::move(folder)), name_(std::move(name)) {}

std::vector<Delivery> Application::show() {
    std::vector<Delivery> out;
    for (; shown_ < workbooks_.books_.size(); ++shown_) {
        Delivery d;
        Workbook& book = *workbooks_.books_[shown_];
        d.error = book.error();
        if (!d.error.isEmpty()) {
            out.push_back(d);
            continue;
        }
        const QString folder = folder_.isEmpty() ? keptFolder(&d.error) : folder_;
        const QString path =
            folder.isEmpty()
                ? QString()
                : createKeptFile(folder, name_.isEmpty() ? QStringLiteral("export") : name_,
                                 QStringLiteral("xlsx"), &d.error);
        if (!path.isEmpty()) {
            // The writer's row spool is a scratch file, not something to keep beside the export.
            QString ignored;
            const QString scratch = userTempFolder(&ignored);
            d.error = book.saveAs(path, scratch.isEmpty() ? folder : scratch);
            if (d.error.isEmpty()) {
                d.path = path;
                d.opened = Visible && opener_.open(path);
            }
        }
        out.push_back(d);
    }
    return out;
}

} // namespace gc::xlsx
