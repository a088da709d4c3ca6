#include "platform/settings/registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace gc::platform {

namespace {

QString groupOf(const QString& path) {
    QString g = path;
    g.replace('\\', '/');
    while (g.startsWith('/'))
        g.remove(0, 1);
    return g;
}

std::unique_ptr<QSettings> hive() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>("HKEY_CURRENT_USER", QSettings::NativeFormat);
#else
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/gatecontrol";
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return std::make_unique<QSettings>(dir + "/registry.ini", QSettings::IniFormat);
#endif
}

bool groupExists(QSettings& s, const QString& group) {
    s.beginGroup(group);
    const bool found = !s.childKeys().isEmpty() || !s.childGroups().isEmpty();
    s.endGroup();
    return found;
}

} // namespace

RegistryKey::RegistryKey(std::unique_ptr<QSettings> settings, QString group)
    : settings_(std::move(settings)), group_(std::move(group)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

bool RegistryKey::exists(const QString& path) {
    auto s = hive();
    return groupExists(*s, groupOf(path));
}

std::optional<RegistryKey> RegistryKey::open(const QString& path, bool create) {
    auto s = hive();
    const QString group = groupOf(path);
    if (!create && !groupExists(*s, group))
        return std::nullopt;
    if (create && !s->isWritable())
        return std::nullopt;
    return RegistryKey(std::move(s), group);
}

bool RegistryKey::hasValue(const QString& name) const {
    return settings_->contains(group_ + "/" + name);
}

QString RegistryKey::readString(const QString& name) const {
    return settings_->value(group_ + "/" + name).toString();
}

bool RegistryKey::writeString(const QString& name, const QString& value) {
    settings_->setValue(group_ + "/" + name, value);
    settings_->sync();
#ifndef Q_OS_WIN
    QFile::setPermissions(settings_->fileName(), QFile::ReadOwner | QFile::WriteOwner);
#endif
    return settings_->status() == QSettings::NoError;
}

} // namespace gc::platform
