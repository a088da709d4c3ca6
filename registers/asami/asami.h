#pragma once

#include "registers/asami/core/asami_pictures.h"
#include "registers/shared/entry_behaviour.h"
#include "registers/shared/register_list.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;

namespace gc::ui {
class ClickableLabel;
}

namespace gc::registers {

// "اسامي پرسنل": the personnel directory that the traffic and vehicle windows look people up
// in, with any number of pictures per person. The first picture (by when it was stored) is
// shown for the current person; the pop-up imports, views, deletes and saves pictures.
//
// Save edit writes the person whose data "ويرايش" loaded, found again by id, whatever row
// is current when the button is pressed.
class Tasami : public RegisterList {
    Q_OBJECT
  public:
    explicit Tasami(RegisterContext& context, QWidget* parent = nullptr);

    QCheckBox* CheckBox(int number) const; // 1 to 5
    QComboBox* surname;
    QComboBox* card_no;
    QComboBox* khodro_num;
    QComboBox* mobile;
    QLineEdit* uniq_code2;

    QLineEdit* surname1;
    QLineEdit* name;
    QLineEdit* card_no1;
    QLineEdit* uniq_code;
    QLineEdit* khodro_num1;
    QLineEdit* mobile1;
    QLineEdit* vahed_tabe;
    QLineEdit* nation;
    QPushButton* ins_btn;
    QPushButton* edit_btn;
    ui::ClickableLabel* Image1;
    QMenu* PopupMenu1;

    // The pop-up's entries in order: edit, delete, import, view, delete pictures, export, save
    // all (twice: one routine serves every engine).
    QAction* popup(int index) const;

    // What the main window does before showing the page: search, empty every filter and edit
    // field, disable edit_btn.
    void prepare();

    void ins_btnClick();
    void edit_btnClick();
    void EditClick();
    void DeleteClick();
    void ImportClick();
    void ViewClick();
    void DeletePicturesClick();
    void SaveAllClick();
    void Image1Click();
    void nationExit();
    void DBGrid1CellClick();

    // How an imported file is removed; tests put one in that fails.
    void setSourceRemover(asami::RemoveFile remove) { removeSource_ = std::move(remove); }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static Declaration declare(RegisterContext& context);
    void buildFilters();
    void buildEditFields();
    void buildPopup();
    QList<QLineEdit*> editFields() const;
    // The current person's id; nullopt without one.
    std::optional<qint64> currentId();
    void copyCurrentRow();
    void rememberFields();
    void assignColumns(db::Query& q);
    bool askDuplicate(const QString& sql, const QString& question);
    void writeEdited(db::Query& q);
    void showPicture();
    void searchAgain();

    QList<QCheckBox*> boxes_;
    EnterChain enterChain_;
    QList<QAction*> popup_;
    std::optional<qint64> editId_; // the person "ويرايش" loaded
    QStringList loaded_;           // the edit fields' texts as loaded or last saved
    // What the person's row held of each edit field when loaded or last saved, as stored:
    // a field typed with the Persian yeh is held with the Arabic one.
    QStringList held_;
    QByteArray picture_; // the shown picture as stored
    QString pictureExt_;
    QString pictureOwner_; // the surname proposed when the picture is saved
    asami::RemoveFile removeSource_ = asami::RemoveSourceFile;
};

} // namespace gc::registers
