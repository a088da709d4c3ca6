#include "platform/keyboard/keyboard_layout.h"

#include "platform/text/bidi.h"

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

KeyboardSwitch SystemKeyboardLayout::activatePersian() {
#ifdef Q_OS_WIN
    return LoadKeyboardLayoutA("00000429", KLF_ACTIVATE) != nullptr
               ? KeyboardSwitch::Switched
               : KeyboardSwitch::NoPersianLayout;
#else
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return KeyboardSwitch::OtherDesktop;
    return lockPersianGroupOnDisplay(QString());
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
