#pragma once

#include "core/transfer/runner.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace gc {

class CurrentPersianDate;
namespace db {
class Connection;
}
namespace registers {
class MaskEdit;
}
namespace ui {
class ClickableLabel;
class RadioGroup;
} // namespace ui

// "ديتابيس مقصد": copies the records of the database the program works on into a second
// database, all or nothing, on a worker thread.
class Tdb_maghsad : public QDialog {
    Q_OBJECT
  public:
    // `source` is the program's connection; its string is read when a transfer starts.
    Tdb_maghsad(const db::Connection& source, CurrentPersianDate& date, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* SqlServerName;
    QLabel* Label3;
    QLineEdit* DataBase;
    QLabel* Label4;
    QLineEdit* UserName;
    QLabel* Label5;
    QLineEdit* Password;
    QLabel* Label9;
    QComboBox* SystemType;
    ui::RadioGroup* RadioGroup1;
    ui::ClickableLabel* StaticText1;
    QPushButton* Button1;
    QLabel* Label2;
    registers::MaskEdit* dat;
    QCheckBox* old_data_del;
    QCheckBox* amval_chk;
    QCheckBox* anbar_chk;
    QCheckBox* khodro_chk;
    QCheckBox* prs_chk;
    QCheckBox* parking_chk;
    QCheckBox* phone_chk;
    QCheckBox* kala_chk;
    QCheckBox* otagh_chk;
    QCheckBox* asami_chk;
    QCheckBox* asami_pic_chk;
    QCheckBox* arbabrojo_chk;
    QCheckBox* arbabrojo_pic_chk;
    QCheckBox* other_chk;
    QPlainTextEdit* Memo1;
    QProgressBar* ProgressBar1;
    QPushButton* BitBtn1;
    QPushButton* cancel_btn;

    // What the settings window does before showing the tool: "Connect", no progress,
    // today's date, an empty log.
    void prepare();
    void prepareAndShow();

    void RadioGroup1Click();
    void SystemTypeChange();
    void StaticText1Click();
    void asami_chkClick();
    void arbabrojo_chkClick();
    void Button1Click();
    void BitBtn1Click();
    void cancel_btnClick();

    bool running() const { return runner_.running(); }
    transfer::TransferRunner& runner() { return runner_; }

  public slots:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    QString destinationString() const;
    bool readOptions(transfer::TransferOptions& options);
    bool confirm(const transfer::TransferOptions& options);
    void setProgress(int done, int total);
    void finished();

    const db::Connection& source_;
    CurrentPersianDate& date_;
    transfer::TransferRunner runner_;
};

} // namespace gc
