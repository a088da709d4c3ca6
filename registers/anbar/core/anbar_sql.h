#pragma once

#include "registers/shared/core/search_sql.h"

#include <QStringList>

// The warehouse register's SQL texts.
namespace gc::registers::anbar {

// The movement types in the order of the entry window's radio items.
QStringList movementTypes();

// The list's search and count: type, description, date range, destination, deliverer or
// receiver; newest date first.
SearchSpec listSearch();

} // namespace gc::registers::anbar
