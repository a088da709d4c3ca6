#pragma once

#include <QString>

namespace gc::text {

// The invisible characters that steer the bidirectional order: marks, embeddings, overrides
// and isolates.
inline bool isBidiControl(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

// A text as it is to be used elsewhere (a path copied out of a message): without the
// characters that only order it on screen.
inline QString withoutBidiControls(QString text) {
    text.removeIf(isBidiControl);
    return text;
}

// A left-to-right run (a path, ".bmp", "32-bit") set apart inside a right-to-left text, so
// the bidirectional algorithm does not reorder its parts. Digits after a right-to-left word
// ("ليست 1405-09-16 12-38-02.xlsx") would join that word's run and turn round with it; a
// left-to-right mark before them keeps them in the run's own order. An isolate ends with its
// line: each line of a run of several (an engine's message) is set apart on its own. A
// control of the order inside the run (a stray end of isolate in a file's name) would end the
// isolate early; it is shown by its code instead, "<U+2069>", so the run stays whole and the
// name can still be told.
inline QString isolatedLtr(const QString& run) {
    QString out(QChar(0x2066));
    bool afterRightToLeft = false;
    for (const QChar c : run) {
        const QChar::Direction d = c.direction();
        if (isBidiControl(c)) {
            out += QStringLiteral("<U+%1>").arg(QString::number(c.unicode(), 16).toUpper());
            continue;
        }
        if (d == QChar::DirB) {
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
