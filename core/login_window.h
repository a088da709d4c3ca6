#pragma once

#include <QWidget>

namespace gc {

// "صفحه ورود": the application's main window; closing it ends the program.
class Tlogin : public QWidget {
    Q_OBJECT
  public:
    explicit Tlogin(QWidget* parent = nullptr);
};

} // namespace gc
