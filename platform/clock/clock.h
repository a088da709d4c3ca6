#pragma once

#include <QDateTime>

namespace gc::platform {

// Where the program reads the current local date and time; tests set their own.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace gc::platform
