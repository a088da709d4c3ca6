#include "platform/keyboard/keyboard_layout.h"

#include <QGuiApplication>

#ifdef Q_OS_WIN
#include <windows.h>
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

bool SystemKeyboardLayout::activatePersian() {
#ifdef Q_OS_WIN
    return LoadKeyboardLayoutA("00000429", KLF_ACTIVATE) != nullptr;
#else
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    return lockPersianGroupOnDisplay(QString());
#endif
}

} // namespace gc::platform
