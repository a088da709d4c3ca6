#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace gc::platform {

// A key of the current user's registry hive holding named text values. On Windows it
// is the registry itself; elsewhere an INI file in the user's configuration folder
// ($XDG_CONFIG_HOME), readable by the user alone.
class RegistryKey {
  public:
    // `path` as "\SOFTWARE\name". With `create` false, a missing key gives nullopt.
    static std::optional<RegistryKey> open(const QString& path, bool create);
    static bool exists(const QString& path);

    RegistryKey(RegistryKey&&) noexcept;
    RegistryKey& operator=(RegistryKey&&) noexcept;
    ~RegistryKey();

    bool hasValue(const QString& name) const;
    // A value that does not exist reads as the empty text.
    QString readString(const QString& name) const;
    // False when the value could not be written.
    bool writeString(const QString& name, const QString& value);

  private:
    RegistryKey(std::unique_ptr<QSettings> settings, QString group);
    std::unique_ptr<QSettings> settings_;
    QString group_;
};

} // namespace gc::platform
