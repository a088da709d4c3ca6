#pragma once

#include <QString>

namespace gc::text {

// A left-to-right run (a path, ".bmp", "32-bit") set apart inside a right-to-left text, so
// the bidirectional algorithm does not reorder its parts. Digits after a right-to-left word
// ("ليست 1405-09-16 12-38-02.xlsx") would join that word's run and turn round with it; a
// left-to-right mark before them keeps them in the run's own order. An isolate ends with its
// line: each line of a run of several (an engine's message) is set apart on its own.
inline QString isolatedLtr(const QString& run) {
    QString out(QChar(0x2066));
    bool afterRightToLeft = false;
    for (const QChar c : run) {
        const QChar::Direction d = c.direction();
        if (c == u'\n') {
            out += QChar(0x2069) + QString(c) + QChar(0x2066);
            afterRightToLeft = false;
            continue;
        }
        if (d == QChar::DirEN && afterRightToLeft) {
            out += QChar(0x200E);
            afterRightToLeft = false;
        } else if (d == QChar::DirL || d == QChar::DirR || d == QChar::DirAL) {
            afterRightToLeft = d != QChar::DirL;
        }
        out += c;
    }
    return out + QChar(0x2069);
}

// A left-to-right name (a path, a database) between Persian quotation marks.
inline QString quotedLtr(const QString& run) {
    return QString::fromUtf8("«") + isolatedLtr(run) + QString::fromUtf8("»");
}

} // namespace gc::text
