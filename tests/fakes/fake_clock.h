#pragma once

#include "platform/clock/clock.h"

namespace gc::test {

// A clock that stands still at whatever the test sets.
class FakeClock final : public platform::Clock {
  public:
    explicit FakeClock(QDateTime at = {}) : at_(std::move(at)) {}
    void set(const QDateTime& at) { at_ = at; }
    void setDate(const QDate& date) { at_ = QDateTime(date, QTime(12, 0)); }
    QDateTime now() const override { return at_; }

  private:
    QDateTime at_;
};

} // namespace gc::test
