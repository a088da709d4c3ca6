#pragma once

#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QObject>
#include <QStringList>
#include <functional>

class QComboBox;
class QWidget;

namespace gc::registers {

// Gives an input the yellow of a ticked filter or a focused input, or the window colour.
void setInputYellow(QWidget* input, bool yellow);

// Inputs turn yellow while they hold the focus and return to the window colour after.
class FocusColours : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    void watch(QWidget* input);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QHash<QObject*, QWidget*> inputs_; // the watched object (an input or its edit part)
};

// Enter moves the focus along fixed chains; a step may run an action instead.
class EnterChain : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    // Enter in each input moves to the next one of the list.
    void chain(const QList<QWidget*>& inputs);
    void onEnter(QWidget* input, std::function<void()> action);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void hook(QWidget* input);
    QHash<QObject*, QWidget*> inputs_;
    QHash<QWidget*, std::function<void()>> actions_;
};

// A text input named after its column.
QLineEdit* namedLineEdit(const QString& name, QWidget* parent);

// Stops a drop-down completing typed text inline: a look-up runs on the typed "10" while the
// box would show and save a completed "1001".
void noInlineCompletion(QComboBox* box);

// A drop-down's change handler: the guard's typing in its edit part or picking an item, never
// the window's own assignments. The handler sees the text the box shows.
template <class F> void onUserChange(QComboBox* box, QObject* receiver, F handler) {
    noInlineCompletion(box);
    QObject::connect(box, &QComboBox::textActivated, receiver, handler);
    QObject::connect(box->lineEdit(), &QLineEdit::textEdited, receiver, handler);
}

// A drop-down that takes typed text without adding it to its list, named after its column.
QComboBox* editableDropDown(const QString& name, QWidget* parent, bool sorted = false);

// Marks a drop-down whose list stays in alphabetical order, whatever order it is filled in.
void setSortedList(QComboBox* box);
bool isSortedList(const QComboBox* box);

// Refills a drop-down's list with `values` (in order, or sorted for a sorted list), keeping
// its text and firing none of its change signals.
void fillFromPreset(QComboBox* box, const QStringList& values);

} // namespace gc::registers
