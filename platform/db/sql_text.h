#pragma once

#include <QString>

namespace gc::db {

// A value written as an SQL string literal: single quotes around it, each quote inside doubled.
inline QString quoted(const QString& value) {
    QString out = value;
    out.replace('\'', "''");
    return '\'' + out + '\'';
}

// The LIKE pattern, with its ESCAPE clause, that finds `text` anywhere: a backslash, '%' and '_'
// typed by the user match themselves on every engine; only the '%' around it are wild.
inline QString containsPattern(const QString& text) {
    QString escaped = text;
    escaped.replace('\\', "\\\\").replace('%', "\\%").replace('_', "\\_");
    return quoted('%' + escaped + '%') + " escape '\\'";
}

} // namespace gc::db
