#include "app/forms.h"
#include "app/program.h"
#include "platform/ui/appearance.h"
#include "platform/xlsx/temp_files.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gc::ui::applyProgramLook(app);
    // Picture views and sketches left by runs that ended without cleaning up. Exports are kept
    // elsewhere and never removed.
    gc::xlsx::removeFilesOlderThan(QDateTime::currentDateTime().addDays(-1));
    gc::Forms forms;
    const int code = gc::runProgram(forms);
    gc::xlsx::removeThisRunsFiles();
    return code;
}
