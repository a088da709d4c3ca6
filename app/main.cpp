#include "app/forms.h"
#include "app/startup.h"
#include "platform/ui/appearance.h"
#include "windows/shell/login_window.h"
#include "windows/shell/server_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    gc::ui::applyProgramLook(app);
    gc::Forms forms;
    gc::ConnectionLoop loop(*forms.dm, *forms.server);
    if (!loop.run())
        return 0;
    forms.login->show();
    return app.exec();
}
