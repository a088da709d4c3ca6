#include "platform/ui/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace gc::ui {

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
    loadPersianTranslations(app);
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

} // namespace gc::ui
