#pragma once

#include "platform/db/connection.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace gc::transfer {

// A date-time text ("yyyy-MM-dd[ HH:mm[:ss[.ffffff]]]", as either engine writes it) as the
// same wall-clock text "yyyy-MM-dd HH:mm:ss[.ffffff]": no time zone is ever applied, so an
// hour that a daylight-saving change skips stays what it is. nullopt when it is no date-time.
std::optional<QString> wallClockText(const QString& text);

// A source value as the destination column takes it: flags as flags, pictures as bytes
// (zero-length ones too), date-times as wall-clock text, NULL as NULL. nullopt, with the
// reason in `why`, when the column cannot hold it.
std::optional<QVariant> destinationValue(const QVariant& value, const db::ColumnInfo& column,
                                         QString* why);

} // namespace gc::transfer
