#include "core/login_window.h"

namespace gc {

Tlogin::Tlogin(QWidget* parent) : QWidget(parent) {
    setObjectName("login");
    setWindowTitle(QString::fromUtf8("صفحه ورود"));
    setLayoutDirection(Qt::RightToLeft);
    setAttribute(Qt::WA_QuitOnClose, true);
}

} // namespace gc
