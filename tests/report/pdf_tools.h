#pragma once

#include <QString>
#include <QStringList>

// Runs the poppler command-line tools on a written PDF.
namespace gc::report::pdf {

QString run(const QString& program, const QStringList& args);
int pageCount(const QString& path);
QString pageSize(const QString& path); // "842 x 595 pts (A4)"
// Extracted text as the letters that were printed: plain forms instead of the shaped
// ones, no bidi marks, and yeh and kaf in their Arabic forms (Persian faces draw the
// Arabic and Persian letter with one glyph, which the PDF's text layer names either way).
// Apply it to an expected text too before looking for it.
QString printedLetters(const QString& extracted);
// Text of one page (all pages when page is 0), with Arabic letters in their plain forms.
QString text(const QString& path, int page = 0);

} // namespace gc::report::pdf
