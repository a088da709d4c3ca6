// Checks every window the start-up creates as a guard meets it on a 1366 x 768 screen: each
// control takes a click at its centre, no two controls lie over each other, no caption, title,
// grid title, date or time is cut, every window lies inside the screen and reopens as it was,
// and every text reads in its order. New windows are covered as soon as the start-up creates
// them.

#include "platform/ui/appearance.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/placement.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/shared/register_list.h"
#include "support/combo_room.h"
#include "support/reading_checks.h"
#include "windows/window_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSizeGrip>
#include <QSqlField>
#include <QSqlRecord>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>

namespace {

QRect screenArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Lists take the maximized main window's size less 30 and 50, as the main window sizes them.
QSize listSize() {
    const QSize main = screenArea().marginsRemoved(gc::ui::kAssumedFrame).size();
    return {main.width() - 30, main.height() - 50};
}

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
        } else if (const auto* c = qobject_cast<const QComboBox*>(w); c && !c->isEditable()) {
            const int room = gctest::comboTextRoom(*c);
            for (int i = 0; i < c->count(); ++i)
                if (room < c->fontMetrics().horizontalAdvance(c->itemText(i)))
                    out << nameOf(c) + " item \"" + c->itemText(i) +
                               QStringLiteral("\" %1 < %2")
                                   .arg(room)
                                   .arg(c->fontMetrics().horizontalAdvance(c->itemText(i)));
        }
    }
    return out;
}

// A masked date or time input shows its whole text ("1403/12/29", "23:58"), also with the
// window made as small as the guard can make it.
QStringList cutMaskedInputs(QWidget* window) {
    window->resize(window->minimumSizeHint());
    QApplication::processEvents();
    QStringList out;
    for (QWidget* w : shownControls(window)) {
        const auto* edit = qobject_cast<const QLineEdit*>(w);
        if (!edit || edit->inputMask().isEmpty())
            continue;
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        const QRect contents =
            edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        const int room =
            contents.width() - edit->textMargins().left() - edit->textMargins().right() - 2 * 2;
        const QString sample = edit->inputMask().startsWith("0000") ? "1403/12/29" : "23:58";
        const int needs = edit->fontMetrics().horizontalAdvance(sample);
        if (room < needs)
            out << nameOf(edit) + QStringLiteral(" %1 < %2").arg(room).arg(needs);
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

// The window's title whole in its title bar, and each group's title whole above it.
QStringList cutTitles(QWidget* window) {
    QStringList out;
    const int needs = gc::ui::titleBarWidth(window->windowTitle(), QApplication::font());
    if (window->frameGeometry().width() < needs)
        out << QStringLiteral("title \"%1\" %2 < %3")
                   .arg(window->windowTitle())
                   .arg(window->frameGeometry().width())
                   .arg(needs);
    for (QWidget* w : shownControls(window)) {
        const auto* group = qobject_cast<const QGroupBox*>(w);
        if (!group || group->title().isEmpty())
            continue;
        const int room =
            group->width() - 2 * group->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
        const int title =
            group->fontMetrics().horizontalAdvance(QString(group->title()).remove('&'));
        if (room < title)
            out << nameOf(group) + " title \"" + group->title() +
                       QStringLiteral("\" %1 < %2").arg(room).arg(title);
    }
    return out;
}

// A guard's desktop keeps a panel of up to 40 px; a window the guard cannot make smaller than
// what is left, frame included, stands out of the screen whatever the program does.
QStringList tooLargeForTheScreen(QWidget* window) {
    const QSize room =
        screenArea().adjusted(0, 0, 0, -40).marginsRemoved(gc::ui::kAssumedFrame).size();
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    if (least.width() <= room.width() && least.height() <= room.height())
        return {};
    return {QStringLiteral("cannot be made smaller than %1 x %2, the screen leaves %3 x %4")
                .arg(least.width())
                .arg(least.height())
                .arg(room.width())
                .arg(room.height())};
}

// Where a window stands and how large it is, for a fault's message.
QString placeAndSize(const QRect& r) {
    return QStringLiteral("%1,%2 %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QStringList outsideScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    if (screenArea().contains(frame))
        return {};
    return {QStringLiteral("frame %1 outside the screen %2 x %3")
                .arg(placeAndSize(frame))
                .arg(screenArea().width())
                .arg(screenArea().height())};
}

// Every text the window shows, with whether it is shown right to left.
QList<std::pair<QString, bool>> shownTexts(QWidget* window) {
    QList<std::pair<QString, bool>> out{
        {window->windowTitle(), window->layoutDirection() == Qt::RightToLeft}};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool rtl = w->layoutDirection() == Qt::RightToLeft;
        if (const auto* l = qobject_cast<const QLabel*>(w); l && !Qt::mightBeRichText(l->text()))
            out.append({l->text(), rtl});
        else if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            out.append({QString(b->text()).remove('&'), rtl});
        else if (const auto* g = qobject_cast<const QGroupBox*>(w))
            out.append({g->title(), rtl});
        else if (const auto* c = qobject_cast<const QComboBox*>(w)) {
            // The drop-down list is a window of its own, in the program's direction.
            const bool listRtl = c->view()->layoutDirection() == Qt::RightToLeft;
            for (int i = 0; i < c->count(); ++i)
                out.append({c->itemText(i), listRtl});
            out.append({c->currentText(), rtl});
        } else if (const auto* grid = qobject_cast<const QTableView*>(w); grid && grid->model())
            for (int i = 0; i < grid->model()->columnCount(); ++i)
                out.append({grid->model()->headerData(i, Qt::Horizontal).toString(), rtl});
    }
    for (const QAction* a : window->findChildren<QAction*>())
        out.append({QString(a->text()).remove('&'), window->layoutDirection() == Qt::RightToLeft});
    return out;
}

QStringList misread(QWidget* window) {
    QStringList out;
    for (const auto& [text, rtl] : shownTexts(window))
        for (const QString& fault : gctest::readingFaults(text, rtl))
            out << "\"" + text + "\": " + fault;
    out.removeDuplicates();
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
        auto* list = qobject_cast<gc::registers::RegisterList*>(w);
        if (list)
            list->resize(listSize());
        w->show();
        if (list)
            list->search();
        QApplication::processEvents();
    }

    // The window shown, closed and shown again, each time sized as the program sizes it.
    static QStringList reopensElsewhere(QWidget* w) {
        const QRect first = w->frameGeometry();
        w->hide();
        showAsAGuardSees(w);
        if (w->frameGeometry() == first)
            return {};
        return {QStringLiteral("opened at %1, reopened at %2")
                    .arg(placeAndSize(first), placeAndSize(w->frameGeometry()))};
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

TEST_P(WindowChecks, NoDateOrTimeInputIsCut) {
    const QStringList faults = overAllWindows(cutMaskedInputs);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_P(WindowChecks, NoGridTitleDateOrTimeIsCut) {
    const QStringList faults = overAllWindows(cutGridTexts);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_P(WindowChecks, NoTitleIsCut) {
    const QStringList faults = overAllWindows(cutTitles);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

// The shortest messages ("حذف شد") under the longest title the program gives a message box.
TEST_P(WindowChecks, AMessageBoxShowsItsWholeTitle) {
    using gc::ui::MsgIcon;
    for (MsgIcon icon : {MsgIcon::None, MsgIcon::Information, MsgIcon::Warning, MsgIcon::Question,
                         MsgIcon::Error}) {
        const auto box = gc::ui::messageBox(icon, QString::fromUtf8("حذف شد"), gc::ui::Ok, nullptr);
        box->show();
        QApplication::processEvents();
        EXPECT_TRUE(cutTitles(box.get()).isEmpty())
            << cutTitles(box.get()).join('\n').toStdString();
        EXPECT_TRUE(outsideScreen(box.get()).isEmpty());
        box->hide();
    }
}

TEST_P(WindowChecks, EveryWindowLiesInsideTheScreen) {
    QStringList faults = overAllWindows(outsideScreen);
    faults << overAllWindows(reopensElsewhere);
    faults << overAllWindows(tooLargeForTheScreen);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

TEST_P(WindowChecks, EveryTextReadsInItsOrder) {
    const QStringList faults = overAllWindows(misread);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, WindowChecks, ::testing::Values(gctest::Backend::SQLite),
                         gctest::backendParamName);

namespace {

// The visitor window with a camera plugged in (the synthetic one, whose name is longer than
// the empty device list was at the first layout).
class VisitorCamera : public WindowChecks {
  protected:
    void SetUp() override {
        qputenv("GC_CAMERA", "synthetic");
        WindowChecks::SetUp();
    }
    void TearDown() override {
        WindowChecks::TearDown();
        qunsetenv("GC_CAMERA");
    }
};

} // namespace

TEST_P(VisitorCamera, TheDeviceNameShowsWhole) {
    QWidget* visitor = forms->arbabrojo.get();
    showAsAGuardSees(visitor);
    forms->arbabrojo->camera()->setChecked(true);
    QApplication::processEvents();
    const auto* devices = visitor->findChild<QComboBox*>("ComboBox1");
    ASSERT_GT(devices->count(), 0) << "no synthetic camera";
    const QStringList faults = cutCaptions(visitor);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
    forms->arbabrojo->camera()->setChecked(false);
}

INSTANTIATE_TEST_SUITE_P(Engines, VisitorCamera, ::testing::Values(gctest::Backend::SQLite),
                         gctest::backendParamName);

// The reading rules themselves, on texts that read wrong and right.
TEST(ReadingChecks, CatchWhatReadsWrongAndPassWhatReadsRight) {
    using gctest::readingFaults;
    EXPECT_EQ(readingFaults("64-bit", true).size(), 1);
    EXPECT_EQ(readingFaults(QString::fromUtf8("سيستم 32 bit"), true).size(), 1);
    EXPECT_TRUE(readingFaults("64-bit", false).isEmpty());
    EXPECT_TRUE(readingFaults(QString(QChar(0x2066)) + "64-bit" + QChar(0x2069), true).isEmpty());
    EXPECT_TRUE(readingFaults("Windows 10", true).isEmpty());
    EXPECT_TRUE(readingFaults("1403/12/29 23:58", true).isEmpty());

    EXPECT_EQ(readingFaults(QString::fromUtf8(":تاريخ ملاقات"), true).size(), 1);
    EXPECT_TRUE(readingFaults(QString::fromUtf8("تاريخ ملاقات:"), true).isEmpty());
    EXPECT_EQ(readingFaults(QString::fromUtf8("تاريخ ملاقات:"), false).size(), 1);
    EXPECT_TRUE(readingFaults("Time:", false).isEmpty());

    EXPECT_TRUE(readingFaults(QString::fromUtf8("جدول «khodro» منتقل شد"), true).isEmpty());
    EXPECT_EQ(readingFaults(QString::fromUtf8("جدول »khodro« منتقل شد"), true).size(), 1);
    EXPECT_EQ(readingFaults(QString::fromUtf8("جدول «khodro منتقل شد"), true).size(), 1);
}
