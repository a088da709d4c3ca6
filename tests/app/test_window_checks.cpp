// Checks every window the start-up creates as a guard meets it on the screen: each control
// takes a click at its centre, no two controls lie over each other, and no caption, grid
// title, date or time is cut. New windows are covered as soon as the start-up creates them.

#include "platform/ui/appearance.h"
#include "registers/shared/register_list.h"
#include "windows/window_fixture.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSizeGrip>
#include <QSqlField>
#include <QSqlRecord>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>

namespace {

// A guard's screen: the main window maximized on 1366 x 768; lists fill it as the main
// window sizes them.
const QSize kListSize(1366 - 30, 768 - 40 - 50);

QString nameOf(const QWidget* w) {
    QString name = w->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(w->metaObject()->className());
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        name += " \"" + b->text() + "\"";
    else if (const auto* l = qobject_cast<const QLabel*>(w))
        name += " \"" + l->text() + "\"";
    return name;
}

// Parts of Qt's own composite widgets (a grid's corner button, a drop-down's list), which
// lay themselves out.
bool insideComposite(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractScrollArea*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QTabBar*>(p) ||
            qobject_cast<const QMenuBar*>(p) || qobject_cast<const QToolBar*>(p))
            return true;
    return false;
}

bool isComposite(const QWidget* w) {
    return qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QTabBar*>(w) ||
           qobject_cast<const QMenuBar*>(w) || qobject_cast<const QToolBar*>(w);
}

QList<QWidget*> shownControls(QWidget* window) {
    QList<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (!w->isWindow() && w->isVisible() && !insideComposite(w, window))
            out << w;
    return out;
}

bool takesClicks(const QWidget* w) {
    if (qobject_cast<const QAbstractButton*>(w))
        return true;
    return qobject_cast<const QLabel*>(w) && w->testAttribute(Qt::WA_SetCursor) &&
           w->cursor().shape() == Qt::PointingHandCursor;
}

QStringList unreachable(QWidget* window) {
    QStringList out;
    for (QWidget* w : shownControls(window)) {
        if (!w->isEnabled() || !takesClicks(w))
            continue;
        const QPoint at = w->mapTo(window, w->rect().center());
        QWidget* hit = window->childAt(at);
        if (hit != w && !w->isAncestorOf(hit))
            out << nameOf(w) + " is covered by " + (hit ? nameOf(hit) : QStringLiteral("nothing"));
    }
    return out;
}

QStringList overlapping(QWidget* window) {
    QStringList out;
    QList<QWidget*> parents{window};
    for (QWidget* w : shownControls(window))
        if (!isComposite(w))
            parents << w;
    for (QWidget* parent : parents) {
        QList<QWidget*> kids;
        for (QObject* o : parent->children()) {
            auto* kid = qobject_cast<QWidget*>(o);
            if (kid && !kid->isWindow() && kid->isVisible() && !qobject_cast<QSizeGrip*>(kid))
                kids << kid;
        }
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                if (kids[i]->geometry().intersects(kids[j]->geometry()))
                    out << nameOf(kids[i]) + " overlaps " + nameOf(kids[j]);
    }
    return out;
}

// The width a push or tool button needs for its caption and icon: the text, the button's
// margin and its frame on both sides.
int buttonNeeds(const QAbstractButton* b) {
    const QStyle* style = b->style();
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                       2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
    const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
    return b->fontMetrics().horizontalAdvance(QString(b->text()).remove('&')) + icon + margin;
}

QStringList cutCaptions(QWidget* window) {
    QStringList out;
    for (QWidget* w : shownControls(window)) {
        if (const auto* l = qobject_cast<const QLabel*>(w)) {
            if (l->wordWrap() || l->text().isEmpty() || Qt::mightBeRichText(l->text()))
                continue;
            const int room = l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent());
            const int needs = l->fontMetrics().horizontalAdvance(l->text());
            if (room < needs)
                out << nameOf(l) + QStringLiteral(" %1 < %2").arg(room).arg(needs);
            if (l->contentsRect().height() < l->fontMetrics().height())
                out << nameOf(l) + QStringLiteral(" height %1 < %2")
                                       .arg(l->contentsRect().height())
                                       .arg(l->fontMetrics().height());
        } else if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            if (b->text().isEmpty())
                continue;
            const bool box =
                qobject_cast<const QCheckBox*>(b) || qobject_cast<const QRadioButton*>(b);
            const int needs = box ? b->sizeHint().width() : buttonNeeds(b);
            if (b->width() < needs)
                out << nameOf(b) + QStringLiteral(" %1 < %2").arg(b->width()).arg(needs);
            const int high = box ? b->sizeHint().height() : b->fontMetrics().height();
            if (b->height() < high)
                out << nameOf(b) + QStringLiteral(" height %1 < %2").arg(b->height()).arg(high);
        }
    }
    return out;
}

int cellMargin(const QTableView* grid) {
    return 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
}

// Grid titles, and the dates and times in the grid's rows.
QStringList cutGridTexts(QWidget* window) {
    static const QRegularExpression dateOrTime(QStringLiteral(R"(^(\d{4}/\d\d/\d\d|\d\d:\d\d)$)"));
    QStringList out;
    for (QTableView* grid : window->findChildren<QTableView*>()) {
        if (!grid->isVisible())
            continue;
        const QHeaderView* header = grid->horizontalHeader();
        const QAbstractItemModel* model = grid->model();
        const int margin =
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < model->columnCount(); ++c) {
            if (header->isSectionHidden(c))
                continue;
            const int room = header->sectionSize(c);
            const QString title = model->headerData(c, Qt::Horizontal).toString();
            const QVariant font = model->headerData(c, Qt::Horizontal, Qt::FontRole);
            const QFontMetrics titleMetrics(font.isValid() ? font.value<QFont>() : header->font());
            if (room < titleMetrics.horizontalAdvance(title) + margin)
                out << nameOf(grid) + " title \"" + title +
                           QStringLiteral("\" %1 < %2")
                               .arg(room)
                               .arg(titleMetrics.horizontalAdvance(title) + margin);
            for (int r = 0; r < model->rowCount(); ++r) {
                const QString text = model->index(r, c).data().toString();
                const int needs = grid->fontMetrics().horizontalAdvance(text) + cellMargin(grid);
                if (dateOrTime.match(text).hasMatch() && room < needs)
                    out << nameOf(grid) + " cell \"" + text + "\" under \"" + title +
                               QStringLiteral("\" %1 < %2").arg(room).arg(needs);
            }
        }
    }
    return out;
}

class WindowChecks : public gctest::WindowTest {
  protected:
    void SetUp() override {
        static const bool looked = (gc::ui::applyProgramLook(*qApp), true);
        ASSERT_TRUE(looked);
        WindowTest::SetUp();
        createSchema();
        fillEveryTable();
    }
    void TearDown() override {
        for (QWidget* w : windows())
            w->hide();
        WindowTest::TearDown();
    }

    // One row in every table, with a date and a time in the columns that hold them, so the
    // lists show what a guard sees in them.
    void fillEveryTable() {
        const QSqlDatabase db = forms->dm->ADOConnection1.database();
        for (const QString& table : db.tables()) {
            const QSqlRecord record = db.record(table);
            QStringList columns, values;
            for (int i = 0; i < record.count(); ++i) {
                const QString name = record.fieldName(i).toLower();
                const bool date =
                    name.contains("dat") && record.field(i).metaType().id() == QMetaType::QString;
                const bool time = (name.contains("tim") || name == "saat") &&
                                  record.field(i).metaType().id() == QMetaType::QString;
                if (!date && !time)
                    continue;
                columns << name;
                values << (date ? "'1403/12/29'" : "'23:58'");
            }
            if (!columns.isEmpty())
                exec("insert into " + table + " (" + columns.join(", ") + ") values (" +
                     values.join(", ") + ")");
        }
    }

    // The program's windows: every top-level widget the start-up made, menus aside.
    static QList<QWidget*> windows() {
        QList<QWidget*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!qobject_cast<QMenu*>(w) && !w->objectName().startsWith("qt_") &&
                (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog))
                out << w;
        return out;
    }

    // Shows a window at the size the program gives it, lists with their rows.
    static void showAsAGuardSees(QWidget* w) {
        w->show();
        if (auto* list = qobject_cast<gc::registers::RegisterList*>(w)) {
            list->resize(kListSize);
            list->search();
        }
        QApplication::processEvents();
    }

    template <class Check> QStringList overAllWindows(Check check) {
        QStringList faults;
        const QList<QWidget*> all = windows();
        EXPECT_GE(all.size(), 20) << "the start-up made fewer windows than expected";
        for (QWidget* w : all) {
            showAsAGuardSees(w);
            for (const QString& f : check(w))
                faults << nameOf(w) + ": " + f;
            w->hide();
        }
        return faults;
    }
};

} // namespace

TEST_P(WindowChecks, EveryControlTakesAClickAtItsCentre) {
    const QStringList faults = overAllWindows(unreachable);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_P(WindowChecks, NoTwoControlsOverlap) {
    const QStringList faults = overAllWindows(overlapping);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_P(WindowChecks, NoCaptionIsNarrowerThanItsText) {
    const QStringList faults = overAllWindows(cutCaptions);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_P(WindowChecks, NoGridTitleDateOrTimeIsCut) {
    const QStringList faults = overAllWindows(cutGridTexts);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, WindowChecks, ::testing::Values(gctest::Backend::SQLite),
                         gctest::backendParamName);
