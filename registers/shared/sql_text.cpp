#include "registers/shared/sql_text.h"

namespace gc::registers {

QString quoted(const QString& value) {
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace gc::registers
