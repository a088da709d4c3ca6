#include "platform/ui/appearance.h"

#include "platform/ui/placement.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTranslator>

namespace gc::ui {

namespace {

// Between a button's icon and its caption, as Qt's styles leave it.
constexpr int kIconSpacing = 4;

QIcon::Mode iconMode(const QStyleOption& option) {
    if (!(option.state & QStyle::State_Enabled))
        return QIcon::Disabled;
    return (option.state & QStyle::State_HasFocus) ? QIcon::Active : QIcon::Normal;
}

} // namespace

bool loadPersianTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Persian, QLocale::Iran), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

void applyProgramLook(QApplication& app) {
    app.setLayoutDirection(Qt::RightToLeft);
    // Over the style in use, which the desktop or the command line chose.
    QApplication::setStyle(new ProgramStyle(QStyleFactory::create(QApplication::style()->name())));
    loadPersianTranslations(app);
    keepWindowsInsideScreen(app);
    const QStringList families = QFontDatabase::families();
    for (const char* wanted : {"Tahoma", "Vazirmatn", "Nazli", "Noto Sans Arabic", "DejaVu Sans"}) {
        if (families.contains(wanted)) {
            QFont font(wanted);
            font.setPointSize(9);
            app.setFont(font);
            return;
        }
    }
}

void ProgramStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (element == CE_PushButtonLabel && button && button->direction == Qt::RightToLeft &&
        !button->icon.isNull() && !button->text.isEmpty()) {
        drawRightToLeftLabel(*button, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void ProgramStyle::drawRightToLeftLabel(const QStyleOptionButton& button, QPainter* painter,
                                        const QWidget* widget) const {
    const QPixmap pixmap =
        button.icon.pixmap(button.iconSize, painter->device()->devicePixelRatio(), iconMode(button),
                           (button.state & State_On) ? QIcon::On : QIcon::Off);
    const QSize icon = pixmap.deviceIndependentSize().toSize();
    const int textWidth = button.fontMetrics.size(Qt::TextShowMnemonic, button.text).width();
    const QRect area = button.rect;
    const int left = area.x() + (area.width() - (textWidth + kIconSpacing + icon.width())) / 2;

    // Right to left: the caption first from the left, the icon at its right.
    QStyleOptionButton caption(button);
    caption.icon = QIcon();
    caption.rect = QRect(left, area.y(), textWidth, area.height());
    QProxyStyle::drawControl(CE_PushButtonLabel, &caption, painter, widget);
    const QRect iconRect(left + textWidth + kIconSpacing, area.y(), icon.width(), area.height());
    proxy()->drawItemPixmap(painter, iconRect, Qt::AlignCenter, pixmap);
}

} // namespace gc::ui
