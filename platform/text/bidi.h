#pragma once

#include <QString>

namespace gc::text {

// A left-to-right run (a path, ".bmp", "32-bit") set apart inside a right-to-left text, so
// the bidirectional algorithm does not reorder its parts.
inline QString isolatedLtr(const QString& run) {
    return QChar(0x2066) + run + QChar(0x2069);
}

// A left-to-right name (a path, a database) between Persian quotation marks.
inline QString quotedLtr(const QString& run) {
    return QString::fromUtf8("«") + isolatedLtr(run) + QString::fromUtf8("»");
}

} // namespace gc::text
