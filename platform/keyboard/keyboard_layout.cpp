#include "platform/keyboard/keyboard_layout.h"

#include "platform/text/bidi.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "platform/keyboard/lock_record.h"
#endif

namespace gc::platform {

namespace {

constexpr int kMaxGroups = 4; // XKB keeps at most four groups

bool isPersianName(const QString& name) {
    return name.startsWith(QLatin1String("Persian"), Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("Farsi"), Qt::CaseInsensitive);
}

// Variants in the Iranian symbols file that are not Persian.
bool isOtherIranianVariant(const QString& variant) {
    return variant.startsWith(QLatin1String("ku")) || variant == QLatin1String("azb") ||
           variant == QLatin1String("ave");
}

} // namespace

std::optional<int> persianGroup(const QStringList& groupNames, const QString& symbols) {
    for (int i = 0; i < groupNames.size() && i < kMaxGroups; ++i) {
        if (isPersianName(groupNames[i]))
            return i;
    }

    // Each layout of the symbols description is "name(variant):group"; the first
    // layout carries no ":group" and is group 1.
    const QStringList parts = symbols.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const int colon = part.indexOf(QLatin1Char(':'));
        const QString layout = colon < 0 ? part : part.left(colon);
        int group = 1;
        if (colon >= 0) {
            bool ok = false;
            group = part.mid(colon + 1).toInt(&ok);
            if (!ok)
                continue;
        }
        const int paren = layout.indexOf(QLatin1Char('('));
        const QString base = paren < 0 ? layout : layout.left(paren);
        const QString variant = paren < 0 ? QString() : layout.mid(paren + 1).remove(u')');
        if (base == QLatin1String("ir") && !isOtherIranianVariant(variant) && group >= 1 &&
            group <= kMaxGroups)
            return group - 1;
    }
    return std::nullopt;
}

SystemKeyboardLayout::SystemKeyboardLayout(const QString& displayName, const QString& recordFolder)
    : displayName_(displayName), recordFolder_(recordFolder), ownDesktop_(false) {}

bool SystemKeyboardLayout::onX11() const {
    return !ownDesktop_ || QGuiApplication::platformName() == QLatin1String("xcb");
}

// The user's runtime folder ($XDG_RUNTIME_DIR): private to the user and emptied when the
// user's sessions end, as the display and its lock do. The lock belongs to the running
// desktop, not to the connection settings, which last across sessions. Nothing stands in
// for a missing one: another folder may be shared or outlive the desktop.
QString SystemKeyboardLayout::recordFolder() const {
    return ownDesktop_ ? qEnvironmentVariable("XDG_RUNTIME_DIR") : recordFolder_;
}

KeyboardSwitch SystemKeyboardLayout::activatePersian() {
#ifdef Q_OS_WIN
    return LoadKeyboardLayoutA("00000429", KLF_ACTIVATE) != nullptr
               ? KeyboardSwitch::Switched
               : KeyboardSwitch::NoPersianLayout;
#else
    if (!onX11())
        return KeyboardSwitch::OtherDesktop;
    const PersianLock lock = lockPersianGroupOnDisplay(displayName_);
    if (lock.result == KeyboardSwitch::Switched)
        remember(lock.groups);
    return lock.result;
#endif
}

#ifndef Q_OS_WIN

// A record that another copy of the program left while it still holds the Persian group
// keeps the group that copy found: that one is the user's.
void SystemKeyboardLayout::remember(GroupLock groups) {
    const LockRecordFile file(recordFolder(), displayName_);
    if (const auto earlier = file.read(); earlier && earlier->groups.locked == groups.found)
        groups.found = earlier->groups.found;
    if (groups.found == groups.locked)
        return;
    lock_ = groups;
    // Without a record a crash leaves the lock to the user; the normal end still gives it back.
    const qint64 pid = QCoreApplication::applicationPid();
    if (const std::optional<qint64> started = processStartTime(pid))
        file.write({groups, pid, *started});
}

#endif

void SystemKeyboardLayout::restore() {
#ifndef Q_OS_WIN
    if (!onX11())
        return;
    const LockRecordFile file(recordFolder(), displayName_);
    const std::optional<LockRecord> record = file.read();
    std::optional<GroupLock> lock = std::exchange(lock_, std::nullopt);
    if (!lock && record)
        lock = record->groups;
    // Another copy of the program, still running, locked last and gives the group back itself.
    if (record && record->pid != QCoreApplication::applicationPid() &&
        recordedProcessRunning(*record))
        return;
    if (lock)
        giveGroupBackOnDisplay(displayName_, *lock);
    file.remove();
#endif
}

QString keyboardSwitchNote(KeyboardSwitch result, const QString& platformName) {
    const QString x11 = text::isolatedLtr(QStringLiteral("X11"));
    QString why;
    switch (result) {
    case KeyboardSwitch::Switched:
        return {};
    case KeyboardSwitch::OtherDesktop:
        why = QString::fromUtf8("برنامه صفحه کليد را فقط در ميزکار %1 عوض مي کند و اين ميزکار "
                                "%2 است؛ آن را خودتان فارسي کنيد")
                  .arg(x11, text::isolatedLtr(platformName));
        break;
    case KeyboardSwitch::NoX11Access:
        why = QString::fromUtf8("برنامه به صفحه کليد ميزکار %1 دسترسي ندارد؛ آن را خودتان "
                                "فارسي کنيد")
                  .arg(x11);
        break;
    case KeyboardSwitch::NoPersianLayout:
        why = QString::fromUtf8("در تنظيمات صفحه کليد ميزکار چيدمان فارسي (%1) نيست؛ آن را "
                                "اضافه کنيد تا پس از ورود خودکار فارسي شود")
                  .arg(text::isolatedLtr(QStringLiteral("Persian")));
        break;
    case KeyboardSwitch::Refused:
        why = QString::fromUtf8("ميزکار عوض کردن صفحه کليد را نپذيرفت؛ آن را خودتان فارسي کنيد");
        break;
    }
    return QString::fromUtf8("صفحه کليد فارسي نشد: ") + why;
}

} // namespace gc::platform
