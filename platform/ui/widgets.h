#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QList>

class QComboBox;
class QPlainTextEdit;
class QRadioButton;
class QButtonGroup;

namespace gc::ui {

// A label that acts on a click, like the program's clickable captions.
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Makes a drop-down of left-to-right texts ("32-bit", a path) read in their order in a
// right-to-left program: the box and its list draw each text as an isolated run (a long one
// elided in the middle), while the texts themselves stay plain. Qt draws a box's text in the
// program's direction whatever the box's own, so "/tmp/x" read "tmp/x/".
void drawLeftToRight(QComboBox& box);

// A captioned group of radio items with one selected index (-1 for none), laid out in
// `columns` columns filled top to bottom.
// `clicked` runs whenever the selected index changes, by the user or by code.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr,
               int columns = 1);

    int itemIndex() const { return index_; }
    void setItemIndex(int index);
    QRadioButton* button(int index) const { return buttons_.value(index); }

  signals:
    void clicked();

  private:
    QList<QRadioButton*> buttons_;
    QButtonGroup* group_;
    int index_ = -1;
};

// Sets a multi-line text of a right-to-left window to read from its right edge: Qt lays a
// plain text's lines out from the left, whatever the window's direction.
void readRightToLeft(QPlainTextEdit& edit);

} // namespace gc::ui
