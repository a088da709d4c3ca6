#include "platform/ui/widgets.h"

#include "platform/text/bidi.h"

#include <QButtonGroup>
#include <QComboBox>
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

// QComboBox fills its drawing options in a protected function, reached here through a
// derived class.
struct ComboOptions : QComboBox {
    static QStyleOptionComboBox of(const QComboBox& box) {
        QStyleOptionComboBox option;
        (box.*&ComboOptions::initStyleOption)(&option);
        return option;
    }
};

void paintIsolated(QComboBox& box) {
    QStylePainter painter(&box);
    painter.setPen(box.palette().color(QPalette::Text));
    QStyleOptionComboBox option = ComboOptions::of(box);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, &box);
    const int icon = option.currentIcon.isNull() ? 0 : option.iconSize.width() + 4;
    option.currentText = text::isolatedLtr(
        option.fontMetrics.elidedText(option.currentText, Qt::ElideMiddle, field.width() - icon));
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

class IsolatingPainter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return false;
        paintIsolated(*static_cast<QComboBox*>(watched));
        return true;
    }
};

} // namespace

void drawLeftToRight(QComboBox& box) {
    box.setItemDelegate(new IsolatingDelegate(&box));
    box.installEventFilter(new IsolatingPainter(&box));
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
