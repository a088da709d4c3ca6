#pragma once

#include "platform/db/connection.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace gc::transfer {

// A source value as the destination column takes it: flags as flags, pictures as bytes,
// date-times as date-times in the destination engine's own form, NULL as NULL. nullopt,
// with the reason in `why`, when the column cannot hold it.
std::optional<QVariant> destinationValue(const QVariant& value, const db::ColumnInfo& column,
                                         db::Engine destination, QString* why);

} // namespace gc::transfer
