#include "registers/shared/core/current_time.h"

namespace gc::registers {

QString CurrentTime24(const platform::Clock& clock) {
    return clock.now().time().toString(QStringLiteral("HH:mm"));
}

} // namespace gc::registers
