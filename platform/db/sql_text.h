#pragma once

#include <QString>

namespace gc::db {

// A value written as an SQL string literal: single quotes around it, each quote inside doubled.
inline QString quoted(const QString& value) {
    QString out = value;
    out.replace('\'', "''");
    return '\'' + out + '\'';
}

} // namespace gc::db
