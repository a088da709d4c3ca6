#pragma once

#include <QString>

namespace gc::registers {

// `value` as an SQL string literal: single quotes around it, each quote inside doubled.
QString quoted(const QString& value);

} // namespace gc::registers
