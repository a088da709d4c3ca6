#pragma once

#include <QString>

namespace gc::text {

// A left-to-right run (a path, ".bmp", "32-bit") set apart inside a right-to-left text, so
// the bidirectional algorithm does not reorder its parts.
inline QString isolatedLtr(const QString& run) {
    return QChar(0x2066) + run + QChar(0x2069);
}

} // namespace gc::text
