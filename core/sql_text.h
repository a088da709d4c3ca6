#pragma once

#include <QString>

namespace gc {

// `text` as an SQL string literal: single quotes around it, each inner quote doubled.
inline QString quoted(const QString& text) {
    QString inner = text;
    inner.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

} // namespace gc
