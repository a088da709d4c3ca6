#include "platform/ui/appearance.h"

#include <QApplication>
#include <QFontDatabase>

namespace gc::ui {

void applyProgramLook(QApplication& app) {
    app.setLayoutDirection(Qt::RightToLeft);
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
