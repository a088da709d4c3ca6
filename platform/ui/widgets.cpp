#include "platform/ui/widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
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

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent,
                       int columns)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    const int rows = std::max<int>(1, (items.size() + columns - 1) / std::max(1, columns));
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        group_->addButton(b, i);
        layout->addWidget(b, i % rows, i / rows);
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
