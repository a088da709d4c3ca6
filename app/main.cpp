#include "app/forms.h"
#include "app/startup.h"
#include "platform/ui/appearance.h"
#include "platform/xlsx/temp_files.h"
#include "windows/shell/login_window.h"
#include "windows/shell/server_window.h"

#include <QApplication>
#include <QDateTime>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gc::ui::applyProgramLook(app);
    // Picture views and sketches left by runs that ended without cleaning up. Exports are kept
    // elsewhere and never removed.
    gc::xlsx::removeFilesOlderThan(QDateTime::currentDateTime().addDays(-1));
    gc::Forms forms;
    gc::ConnectionLoop loop(*forms.dm, *forms.server);
    if (!loop.run())
        return 0;
    forms.login->show();
    const int code = app.exec();
    gc::xlsx::removeThisRunsFiles();
    return code;
}
