#pragma once

#include "registers/shared/register_context.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace gc::registers {

class ListGridModel;

// "تصاوير ارباب رجوع": the pictures of one visit; add one from a file, delete one, show
// one in the desktop's viewer.
class Tarbabrojo_pic : public QDialog {
    Q_OBJECT
  public:
    explicit Tarbabrojo_pic(RegisterContext& context, QWidget* parent = nullptr);
    ~Tarbabrojo_pic() override;

    // Shows the pictures of the visit modally.
    void open(qint64 visitId, const QString& visitorName);
    // Loads the visit's pictures without showing the window.
    bool load(qint64 visitId, const QString& visitorName);

    void ins_btnClick();
    void N1Click();
    void showPicture(int row);

    QTableView* grid() const { return grid_; }
    QLabel* nam() const { return nam_; }

  private:
    void arrangeColumns();
    void reload();

    RegisterContext& ctx_;
    qint64 visitId_ = 0;
    QLabel* nam_;
    QComboBox* cmt_;
    QPushButton* insBtn_;
    QTableView* grid_;
    std::unique_ptr<ListGridModel> model_;
};

} // namespace gc::registers
