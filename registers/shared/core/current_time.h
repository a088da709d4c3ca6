#pragma once

#include "platform/clock/clock.h"

#include <QString>

namespace gc::registers {

// The current time as the registers store it: 24-hour "HH:mm", from one reading of
// the clock.
QString CurrentTime24(const platform::Clock& clock);

} // namespace gc::registers
