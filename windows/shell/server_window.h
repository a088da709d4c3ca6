#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QComboBox;
class QPushButton;
class QLabel;

namespace gc {

class Tdm;

namespace ui {
class ClickableLabel;
class RadioGroup;
} // namespace ui

// "تنظيمات اتصال به بانک": edits the connection settings that start-up reads, stores
// them per user, and runs the schema set-up. Always shown modally.
class Tserver : public QDialog {
    Q_OBJECT
  public:
    explicit Tserver(QWidget* parent = nullptr);

    static inline const QString kDefaultServer = "localhost";

    ui::ClickableLabel* Label1;
    QLineEdit* SqlServerName;
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label3;
    QLineEdit* DataBase;
    QLabel* Label4;
    QLineEdit* UserName;
    ui::ClickableLabel* Label5;
    QLineEdit* Password;
    QLabel* Label9;
    QComboBox* SystemType;
    ui::RadioGroup* RadioGroup1;
    ui::ClickableLabel* StaticText1;
    QPushButton* Button1;
    QPushButton* Button2;
    ui::ClickableLabel* Label8;
    QPushButton* BitBtn1;
    // Says that saved settings are used from the next start, while a database is open.
    QLabel* nextStartNote;

    void FormShow();
    void RadioGroup1Click();
    void SystemTypeChange();
    void StaticText1Click();
    void Label1Click();
    void Label5Click();
    void Button1Click();
    void Button2Click();
    void Label8Click();
    void BitBtn1Click();

    // Shows the transfer tool; set where the windows are wired together.
    std::function<void()> showTransfer;
    // Whether the program works on an open database, which saved settings do not change
    // before the next start; set where the windows are wired together.
    std::function<bool()> databaseOpen;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildLayout();
    void showChoiceControls();
    bool validate();
    void prepareFilePath();

    bool loading_ = false;
    // The choice shown names a file, not a server: the server field follows a change of kind.
    bool fileChosen_ = false;
};

// What "- - -" does once a connection is open: creates what is missing of the program's
// tables and says how it went. True when every table is there.
bool SetUpSchema(Tdm& dm);

} // namespace gc
