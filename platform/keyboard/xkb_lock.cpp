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

} // namespace

KeyboardSwitch lockPersianGroupOnDisplay(const QString& displayName) {
    const ErrorHandlerGuard guard;
    QByteArray name = displayName.toLocal8Bit();
    int event = 0, error = 0, reason = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    const std::unique_ptr<Display, int (*)(Display*)> display(
        XkbOpenDisplay(name.isEmpty() ? nullptr : name.data(), &event, &error, &major, &minor,
                       &reason),
        XCloseDisplay);
    if (!display)
        return KeyboardSwitch::NoX11Access;

    const auto freeKeyboard = [](XkbDescPtr desc) { XkbFreeKeyboard(desc, 0, True); };
    const std::unique_ptr<XkbDescRec, decltype(freeKeyboard)> desc(XkbAllocKeyboard(),
                                                                   freeKeyboard);
    if (!desc ||
        XkbGetNames(display.get(), XkbGroupNamesMask | XkbSymbolsNameMask, desc.get()) != Success ||
        !desc->names)
        return KeyboardSwitch::NoX11Access;

    QStringList groupNames;
    for (int i = 0; i < XkbNumKbdGroups; ++i)
        groupNames.append(atomText(display.get(), desc->names->groups[i]));
    const std::optional<int> group =
        persianGroup(groupNames, atomText(display.get(), desc->names->symbols));
    if (!group)
        return KeyboardSwitch::NoPersianLayout;
    if (!XkbLockGroup(display.get(), XkbUseCoreKbd, static_cast<unsigned>(*group)))
        return KeyboardSwitch::Refused;
    XkbStateRec state{};
    const bool locked = XkbGetState(display.get(), XkbUseCoreKbd, &state) == Success &&
                        state.locked_group == *group;
    return locked ? KeyboardSwitch::Switched : KeyboardSwitch::Refused;
}

#else

KeyboardSwitch lockPersianGroupOnDisplay(const QString&) {
    return KeyboardSwitch::NoX11Access;
}

#endif

} // namespace gc::platform
