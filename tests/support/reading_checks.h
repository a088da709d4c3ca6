#pragma once

#include <QString>
#include <QStringList>

namespace gctest {

// What reads wrong in a text shown on a screen of that direction; empty when it reads right:
// - on a right-to-left screen, a Latin run that starts with digits ("64-bit", "32 bit") and
//   is not set apart by isolate marks: the bidirectional algorithm shows it as "bit-64";
// - in a Persian text, a colon standing before its caption (":تاريخ" read right to left, or
//   "تاريخ:" shown left to right);
// - in a Persian text, « and » reversed or unpaired.
QStringList readingFaults(const QString& text, bool rightToLeft);

} // namespace gctest
