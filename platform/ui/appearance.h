#pragma once

class QApplication;

namespace gc::ui {

// Right to left, in Tahoma where installed, else the nearest Persian-capable font.
void applyProgramLook(QApplication& app);

} // namespace gc::ui
