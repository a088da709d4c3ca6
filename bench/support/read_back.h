#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <map>

// Reading back what a benchmark wrote, so that it is compared with what it should hold
// before a figure is reported.
namespace gcbench {

// The texts of columns 1 to `columns` of the sheet rows `rows` (1-based) of an .xlsx file's
// first worksheet, read with Python's own zip and XML readers; a cell the row lacks is empty,
// a row the sheet lacks is missing from the result.
std::map<int, QStringList> sheetRows(const QString& path, const QList<int>& rows, int columns);

// The lines of page `page` of a PDF as pdftotext lays them out, its joined letter forms taken
// back to plain letters and its direction marks left out.
QStringList pdfPageLines(const QString& pdf, int page);

// Whether `text` stands in `line`, a number not as part of a longer one. Columns set close
// together may come out of pdftotext without a blank between them.
bool showsText(const QString& line, const QString& text);

} // namespace gcbench
