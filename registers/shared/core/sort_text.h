#pragma once

#include <QString>

namespace gc::registers {

// The sort text after a click on the title of `field` while the query is sorted by
// `current`: descending when the field already leads an ascending sort, else ascending.
QString NextSortText(const QString& current, const QString& field);

} // namespace gc::registers
