#include "windows/shell/page.h"

#include "core/persian_date.h"

#include <QAction>
#include <QWidget>

namespace gc {

void SetCommandsEnabled(const QList<QObject*>& commands, bool enabled) {
    for (QObject* command : commands) {
        if (auto* action = qobject_cast<QAction*>(command))
            action->setEnabled(enabled);
        else if (auto* widget = qobject_cast<QWidget*>(command))
            widget->setEnabled(enabled);
    }
}

void PageContext::fitSize(QWidget& page) const {
    page.resize(mainSize_.width() - 30, mainSize_.height() - 50);
}

void PageContext::fitHeight(QWidget& page) const {
    page.resize(page.width(), mainSize_.height() - 50);
}

QString PageContext::today() const {
    return date_.todayText();
}

} // namespace gc
