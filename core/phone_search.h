#pragma once

#include <QString>

namespace gc {

// Which column the phone-book search text is matched against (the radio items).
enum class PhoneSearchColumn { Name = 0, Tel = 1, Cmt = 2 };

// The Persian keheh replaced by the Arabic kaf everywhere: names are stored with
// the Arabic letter.
QString NormalizeKeheh(const QString& text);

// The phone-book count ("c") and list statements for a search text; rows with an
// empty name are never part of either.
QString PhoneCountSql(PhoneSearchColumn column, const QString& text);
QString PhoneListSql(PhoneSearchColumn column, const QString& text);

// The duplicate check of an insert: the rows whose name equals `name`.
QString PhoneNameSql(const QString& name);

} // namespace gc
