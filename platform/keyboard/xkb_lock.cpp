#include "platform/keyboard/keyboard_layout.h"

#ifdef GC_HAVE_XKB
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <memory>
#endif

namespace gc::platform {

#ifdef GC_HAVE_XKB

namespace {

// Xlib's default error handler ends the process; a keyboard switch must never do that.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

class ErrorHandlerGuard {
  public:
    ErrorHandlerGuard() : previous_(XSetErrorHandler(ignoreXError)) {}
    ~ErrorHandlerGuard() { XSetErrorHandler(previous_); }
    ErrorHandlerGuard(const ErrorHandlerGuard&) = delete;
    ErrorHandlerGuard& operator=(const ErrorHandlerGuard&) = delete;

  private:
    XErrorHandler previous_;
};

QString atomText(Display* display, Atom atom) {
    if (atom == None)
        return {};
    char* name = XGetAtomName(display, atom);
    if (!name)
        return {};
    QString text = QString::fromUtf8(name);
    XFree(name);
    return text;
}

using DisplayPtr = std::unique_ptr<Display, int (*)(Display*)>;

DisplayPtr openDisplay(const QString& displayName) {
    QByteArray name = displayName.toLocal8Bit();
    int event = 0, error = 0, reason = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    return DisplayPtr(XkbOpenDisplay(name.isEmpty() ? nullptr : name.data(), &event, &error, &major,
                                     &minor, &reason),
                      XCloseDisplay);
}

std::optional<int> lockedGroup(Display* display) {
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    return state.locked_group;
}

// Locks `group` and reads back whether the display took it.
bool lockGroup(Display* display, int group) {
    return XkbLockGroup(display, XkbUseCoreKbd, static_cast<unsigned>(group)) &&
           lockedGroup(display) == group;
}

} // namespace

PersianLock lockPersianGroupOnDisplay(const QString& displayName) {
    const ErrorHandlerGuard guard;
    const DisplayPtr display = openDisplay(displayName);
    if (!display)
        return {};

    const auto freeKeyboard = [](XkbDescPtr desc) { XkbFreeKeyboard(desc, 0, True); };
    const std::unique_ptr<XkbDescRec, decltype(freeKeyboard)> desc(XkbAllocKeyboard(),
                                                                   freeKeyboard);
    if (!desc ||
        XkbGetNames(display.get(), XkbGroupNamesMask | XkbSymbolsNameMask, desc.get()) != Success ||
        !desc->names)
        return {};

    QStringList groupNames;
    for (int i = 0; i < XkbNumKbdGroups; ++i)
        groupNames.append(atomText(display.get(), desc->names->groups[i]));
    const std::optional<int> group =
        persianGroup(groupNames, atomText(display.get(), desc->names->symbols));
    if (!group)
        return {KeyboardSwitch::NoPersianLayout, {}};
    const std::optional<int> found = lockedGroup(display.get());
    if (!found)
        return {};
    if (!lockGroup(display.get(), *group))
        return {KeyboardSwitch::Refused, {}};
    return {KeyboardSwitch::Switched, {*group, *found}};
}

GroupGiveBack giveGroupBackOnDisplay(const QString& displayName, const GroupLock& lock) {
    const ErrorHandlerGuard guard;
    const DisplayPtr display = openDisplay(displayName);
    const std::optional<int> now = display ? lockedGroup(display.get()) : std::nullopt;
    if (!now)
        return GroupGiveBack::NoX11Access;
    if (*now != lock.locked)
        return GroupGiveBack::LeftAsIs;
    return lockGroup(display.get(), lock.found) ? GroupGiveBack::GivenBack
                                                : GroupGiveBack::NoX11Access;
}

#else

PersianLock lockPersianGroupOnDisplay(const QString&) {
    return {};
}

GroupGiveBack giveGroupBackOnDisplay(const QString&, const GroupLock&) {
    return GroupGiveBack::NoX11Access;
}

#endif

} // namespace gc::platform
