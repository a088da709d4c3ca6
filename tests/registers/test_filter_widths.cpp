// The filter inputs of the lists a guard searches most, on the screen the lists fill: each
// holds a card number or a name without scrolling, and none stretches across the window.

#include "registers/arbab/arbabrojo_list.h"
#include "registers/asami/asami.h"
#include "registers/prs/prs_list.h"
#include "registers/shared/register_list.h"
#include "windows/window_fixture.h"

#include <QApplication>

namespace {

// The main window maximized on 1366 x 768; lists fill it as the main window sizes them.
const QSize kListSize(1366 - 30, 768 - 40 - 50);

bool isComparison(const QComboBox* box) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).size() != 1)
            return false;
    return box->count() > 0;
}

// Free-text filters: line edits and editable drop-downs, not the masked dates and times
// nor the comparison signs.
QList<QWidget*> textFilters(QWidget* filters) {
    QList<QWidget*> out;
    for (QWidget* w : filters->findChildren<QWidget*>()) {
        const auto* edit = qobject_cast<QLineEdit*>(w);
        const bool ownEdit =
            edit && !qobject_cast<QComboBox*>(w->parentWidget()) && edit->inputMask().isEmpty();
        const auto* box = qobject_cast<QComboBox*>(w);
        if (ownEdit || (box && box->isEditable() && !isComparison(box)))
            out << w;
    }
    return out;
}

class FilterWidths : public gctest::WindowTest {
  protected:
    QStringList misfits(QWidget* list) {
        list->resize(kListSize);
        list->show();
        QApplication::processEvents();
        QStringList out;
        QWidget* filters = list->findChild<QWidget*>(QStringLiteral("filters"));
        const QList<QWidget*> inputs = textFilters(filters);
        if (inputs.isEmpty())
            out << "no text filters";
        for (QWidget* w : inputs) {
            const int least = w->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000"));
            if (w->width() < least || w->width() > 3 * least)
                out << w->objectName() + QStringLiteral(" %1 not in %2..%3")
                                             .arg(w->width())
                                             .arg(least)
                                             .arg(3 * least);
        }
        list->hide();
        return out;
    }
};

} // namespace

TEST_P(FilterWidths, PersonnelDirectoryAndVisitorListsFitWhatIsTyped) {
    createSchema();
    EXPECT_EQ(misfits(forms->prs_list.get()), QStringList());
    EXPECT_EQ(misfits(forms->asami.get()), QStringList());
    EXPECT_EQ(misfits(forms->arbabrojo_list.get()), QStringList());
}

// Filters that keep their width still leave every list inside the guard's screen.
TEST_P(FilterWidths, EveryListFitsTheScreen) {
    int lists = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* list = qobject_cast<gc::registers::RegisterList*>(w)) {
            ++lists;
            EXPECT_LE(list->minimumSizeHint().width(), kListSize.width())
                << list->objectName().toStdString();
        }
    EXPECT_GE(lists, 8);
}

INSTANTIATE_TEST_SUITE_P(Engines, FilterWidths, ::testing::Values(gctest::Backend::SQLite),
                         gctest::backendParamName);
