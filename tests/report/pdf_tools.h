#pragma once

#include <QString>
#include <QStringList>

// Runs the poppler command-line tools on a written PDF.
namespace gc::report::pdf {

QString run(const QString& program, const QStringList& args);
int pageCount(const QString& path);
QString pageSize(const QString& path); // "842 x 595 pts (A4)"
// Text of one page (all pages when page is 0), with Arabic letters in their plain forms.
QString text(const QString& path, int page = 0);

} // namespace gc::report::pdf
