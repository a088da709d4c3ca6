#pragma once

#include "core/log_search.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace gc {

class Tdm;
namespace registers {
class MaskEdit;
}
namespace ui {
class QueryGrid;
}
namespace xlsx {
class FileOpener;
}

// "log": the activity log (table `log`) newest first, filtered by the ticked boxes, on
// the scratch query.
class Tlog : public QDialog {
    Q_OBJECT
  public:
    // `exportFolder`: where exported workbooks are kept; empty means "gatecontrol" under the
    // user's documents.
    Tlog(Tdm& dm, xlsx::FileOpener& opener, QString exportFolder = {}, QWidget* parent = nullptr);

    QCheckBox* CheckBox1;
    QComboBox* karbar;
    QCheckBox* CheckBox2;
    registers::MaskEdit* dat1;
    registers::MaskEdit* dat2;
    QCheckBox* CheckBox3;
    QLineEdit* computer_name;
    QCheckBox* CheckBox4;
    QLineEdit* cmt;
    QCheckBox* CheckBox5;
    QLineEdit* ip;
    QPushButton* BitBtn1;
    QLabel* cnt;
    ui::QueryGrid* DBGrid1;
    QToolButton* SpeedButton1;

    // What opening the viewer does: the user names offered, the text filters empty; no
    // search runs.
    void prepare();

    // The filters of the enabled inputs.
    LogFilters filters() const;
    // The search; false when the database refused it (the error was shown).
    bool BitBtn1Click();
    void SpeedButton1Click();

  private:
    bool showsLogList();
    void offerUserNames();

    Tdm& dm_;
    xlsx::FileOpener& opener_;
    QString exportFolder_;
    QString listSql_; // the statement of the last list this viewer opened
};

} // namespace gc
