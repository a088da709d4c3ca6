#pragma once

#include "registers/shared/core/search_sql.h"

#include <QString>
#include <QStringList>

// The property register's SQL texts and fixed values.
namespace gc::registers::amval {

inline const QString kYes = QStringLiteral("دارد");
inline const QString kNo = QStringLiteral("ندارد");
inline const QString kDefaultOwner = QStringLiteral("کاروندیس");

// The list's search and count: person, item, exit dates, entry dates; newest exit first.
SearchSpec listSearch();

// The persons the entry window offers as the one taking out and the approver.
QString surnamesSql();

// The columns both saves write, in order.
const QStringList& savedColumns();

} // namespace gc::registers::amval
