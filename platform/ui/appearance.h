#pragma once

class QApplication;

namespace gc::ui {

// Right to left, in Tahoma where installed, else the nearest Persian-capable font, with
// Qt's own Persian translations for the standard buttons and dialogs.
void applyProgramLook(QApplication& app);

// Installs Qt's Persian translations; false when they are not installed.
bool loadPersianTranslations(QApplication& app);

} // namespace gc::ui
