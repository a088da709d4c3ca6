#pragma once

#include "registers/shared/entry_behaviour.h"
#include "registers/shared/register_context.h"

#include <QDialog>
#include <QVariant>

class QPushButton;

namespace gc::db {
class Query;
}
namespace gc::ui {
class ClickableLabel;
}

namespace gc::registers {

// A register's entry window, shared by "new" and "edit": inputs named after the columns
// they edit, the save buttons `ins_btn` "ثبت" and `edit_btn` "ويرايش" (one shown at a
// time), focus colours, the Enter chain, the today / now / clear labels and the preset
// drop-downs refilled when shown. It writes through the list's shared query.
class RegisterEntry : public QDialog {
    Q_OBJECT
  public:
    struct Declaration {
        QString name;               // window object name, e.g. "khodro_ins"
        QString caption;            // window title
        db::Query* query = nullptr; // the list's shared query
        QStringList savedColumns;   // assigned from their inputs by both saves, in order
        QStringList editCopies;     // copied from the current row by "edit"
        QString newGuardInput;      // takes the guard name on "new"
        QString editGuardInput;     // takes the guard name on "edit"
        QString editGuardColumn;    // saved by "edit" as the guard name, whatever its input shows
        // An edit stamps its guard only with a change to one of these columns (the times and
        // dates of the movement); with none named, with any change.
        QStringList editGuardWitnesses;
        QString newFocus;
        QString editFocus;
        QStringList newTodayInputs;                 // date inputs set to today on "new"
        QStringList newNowInputs;                   // time inputs set to the current time on "new"
        QList<QPair<QString, QString>> presetFills; // input, preset list; refilled when shown
        QString savedMessage = QStringLiteral("ثبت شد"); // after save new; empty for none
    };

    RegisterEntry(Declaration declaration, RegisterContext& context, QWidget* parent = nullptr);

    const Declaration& declaration() const { return decl_; }
    RegisterContext& context() const { return ctx_; }
    db::Query& query() const { return *decl_.query; }

    // Makes `input` (named after its column) one of the window's inputs.
    template <class W> W* addInput(W* input) {
        inputs_.append(input);
        return input;
    }
    QWidget* input(const QString& name) const;
    QString text(const QString& name) const;
    void setText(const QString& name, const QString& text);

    QPushButton* insButton() const { return insBtn_; }
    QPushButton* editButton() const { return editBtn_; }
    FocusColours& focusColours() { return focusColours_; }
    EnterChain& enterChain() { return enterChain_; }
    // The Enter key in `input` runs the action of whichever save button is shown.
    void enterSaves(QWidget* input);

    // Clickable captions: today's date, the current time, or the blank mask into an input.
    ui::ClickableLabel* todayLabel(const QString& caption, const QString& inputName);
    ui::ClickableLabel* nowLabel(const QString& caption, const QString& inputName);
    ui::ClickableLabel* clearLabel(const QString& caption, const QString& inputName);

    QString today() const;
    QString now() const;

    // "New" and "edit" as the list runs them: prepare, then show modally.
    void prepareNew();
    void prepareEdit();
    int openNew();
    int openEdit();

    // The save buttons. A database error cancels the row's insert or edit and is shown;
    // the inputs keep what was typed. False when nothing was saved.
    bool saveNew();
    bool saveEdit();
    bool editMode() const;
    // Something was typed or chosen since the window was prepared or last saved.
    bool hasUnsavedInput() const;
    // Escape and the title-bar close ask first when typing would be lost.
    void reject() override;

  protected:
    // The register's own steps around the families.
    virtual bool confirmNew() { return true; } // for example the duplicate question
    virtual bool confirmEdit() { return true; }
    // Writes a new record; the default appends the inputs through the list's query.
    virtual bool writeNew() { return post(true); }
    virtual void afterSaveNew();  // default: the saved message
    virtual void afterSaveEdit(); // default: close the window
    virtual void onPrepareNew() {}
    virtual void onPrepareEdit() {}
    virtual void onShow() {}
    void showEvent(QShowEvent* event) override;
    // The key of the row that "edit" was opened on, or of the row its first save added;
    // invalid in new mode.
    const QVariant& editKey() const { return editKey_; }

    // Appends (or edits the chosen row) and posts; shows a database error. False when
    // nothing was written.
    bool post(bool insert);

  private:
    void assignColumns(bool insert, const QStringList& columns);
    // The columns an edit writes: those whose input differs from what the row held when
    // loaded or last saved (or, for an input not copied from it and not saved yet, from
    // what the form was loaded with), and the guard stamp when its witnesses changed.
    QStringList editedColumns() const;
    QString editGuardName() const;
    // The inputs as the window now shows them: what the close question compares with.
    void rememberInputs();
    // What a save wrote is what the row holds: the next edit writes what differs from it.
    void rememberSaved();
    // A refusal that names a column («cmt») names it as the window labels its input.
    QString labelled(const QString& message) const;
    // Refuses an impossible or partly typed date or time before anything is asked or written.
    bool checkStamps() const;

    Declaration decl_;
    RegisterContext& ctx_;
    QList<QWidget*> inputs_;
    QPushButton* insBtn_;
    QPushButton* editBtn_;
    FocusColours focusColours_;
    EnterChain enterChain_;
    QVariant editKey_; // the row "edit" saves: the one it was opened on, or the one it added
    QHash<QString, QString> loaded_; // each input's text as prepared, or as a save left it
    // The row's own text of each column "edit" copied, and after a save the text each saved
    // column was written from: an input that shows something else (a selector that cannot
    // show the stored value, or a change since the last save) writes what it shows.
    QHash<QString, QString> rowTexts_;
};

} // namespace gc::registers
