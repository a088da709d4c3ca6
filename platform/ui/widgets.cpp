#include "platform/ui/widgets.h"

#include "platform/text/bidi.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTextOption>

namespace gc::ui {

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

namespace {

class IsolatingDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = text::isolatedLtr(option->text);
    }
};

} // namespace

// Text is drawn in the application's direction, whatever the widget's own.
LtrComboBox::LtrComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new IsolatingDelegate(this));
}

void LtrComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = text::isolatedLtr(option.currentText);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent,
                       int columns)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    const int rows = std::max<int>(1, (items.size() + columns - 1) / std::max(1, columns));
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        // As wide as its text: a button stretched over the row takes no click at its middle.
        layout->addWidget(b, i % rows, i / rows, Qt::AlignLeading);
        buttons_ << b;
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { setItemIndex(id); });
}

void RadioGroup::setItemIndex(int index) {
    if (index == index_)
        return;
    index_ = index;
    if (index < 0) {
        group_->setExclusive(false);
        for (QRadioButton* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
    } else if (QRadioButton* b = buttons_.value(index)) {
        b->setChecked(true);
    }
    emit clicked();
}

void readRightToLeft(QPlainTextEdit& edit) {
    QTextOption option = edit.document()->defaultTextOption();
    option.setTextDirection(Qt::RightToLeft);
    option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    edit.document()->setDefaultTextOption(option);
}

} // namespace gc::ui
