#include "registers/shared/entry_behaviour.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

namespace gc::registers {

namespace {

const char* const kSortedList = "gcSortedList";

// A drop-down receives its keys and focus through its edit part.
QList<QObject*> eventTargets(QWidget* input) {
    QList<QObject*> out{input};
    if (auto* combo = qobject_cast<QComboBox*>(input); combo && combo->lineEdit())
        out << combo->lineEdit();
    return out;
}

} // namespace

void setInputYellow(QWidget* input, bool yellow) {
    QPalette p = input->palette();
    const QColor base =
        yellow ? QColor(Qt::yellow) : QApplication::palette(input).color(QPalette::Base);
    p.setColor(QPalette::Base, base);
    input->setPalette(p);
    if (auto* combo = qobject_cast<QComboBox*>(input); combo && combo->lineEdit())
        combo->lineEdit()->setPalette(p);
}

void FocusColours::watch(QWidget* input) {
    for (QObject* r : eventTargets(input)) {
        inputs_.insert(r, input);
        r->installEventFilter(this);
    }
}

bool FocusColours::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        if (QWidget* input = inputs_.value(watched))
            setInputYellow(input, event->type() == QEvent::FocusIn);
    return QObject::eventFilter(watched, event);
}

void EnterChain::chain(const QList<QWidget*>& inputs) {
    for (int i = 0; i + 1 < inputs.size(); ++i) {
        QWidget* next = inputs[i + 1];
        onEnter(inputs[i], [next] { next->setFocus(Qt::TabFocusReason); });
    }
}

void EnterChain::onEnter(QWidget* input, std::function<void()> action) {
    hook(input);
    actions_.insert(input, std::move(action));
}

void EnterChain::hook(QWidget* input) {
    for (QObject* r : eventTargets(input)) {
        if (!inputs_.contains(r))
            r->installEventFilter(this);
        inputs_.insert(r, input);
    }
}

bool EnterChain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QObject::eventFilter(watched, event);
    const auto action = actions_.value(inputs_.value(watched));
    if (!action)
        return QObject::eventFilter(watched, event);
    action();
    return true;
}

QLineEdit* namedLineEdit(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QComboBox* editableDropDown(const QString& name, QWidget* parent, bool sorted) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    if (sorted)
        setSortedList(box);
    return box;
}

void noInlineCompletion(QComboBox* box) {
    box->setCompleter(nullptr);
}

void setSortedList(QComboBox* box) {
    box->setProperty(kSortedList, true);
}

bool isSortedList(const QComboBox* box) {
    return box->property(kSortedList).toBool();
}

void fillFromPreset(QComboBox* box, const QStringList& values) {
    const QSignalBlocker block(box);
    const QString text = box->currentText();
    QStringList items = values;
    if (isSortedList(box))
        std::sort(items.begin(), items.end(),
                  [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
    box->clear();
    box->addItems(items);
    if (box->isEditable())
        box->setEditText(text);
    else
        box->setCurrentIndex(box->findText(text, Qt::MatchExactly));
}

} // namespace gc::registers
