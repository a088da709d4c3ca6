#pragma once

#include <QString>
#include <stdexcept>

namespace gc::db {

// A database operation that failed. `message()` is meant for the user.
class DbError : public std::runtime_error {
  public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

  private:
    QString message_;
};

} // namespace gc::db
