#pragma once

#include <QList>
#include <QSize>
#include <QString>

class QObject;
class QWidget;

namespace gc {

class CurrentPersianDate;

// How a page plugs into the main window.
//
// Each window the main menu opens implements Page and is registered once, at
// start-up in Forms (app/forms.cpp), under its menu entry's key:
//
//     main->registerPage("khodro", std::make_unique<KhodroListPage>(*khodro_list));
//
// Entry keys: the page keys "amval", "anbar", "khodro", "prs", "arbab", "parking",
// "phone", "setting", "kala", "otagh", "karbaran", "asami", "loh", and "payam"
// (messages, no right needed), "log" (the activity-log viewer, right "karbaran"),
// "dorbin" (the camera, right "arbab"). Which right an entry checks is the main
// window's business; the page only says what the right switches and how it gets
// ready. On a click the main window reads the user's right, enables commands()
// from its insert, edit and delete flags (also when the open flag then refuses),
// and, when the page may open, calls prepare() and then showModal(). An entry whose
// page is not registered yet stops after the check.

// What a page's right switches: menu items (QAction) or buttons (any QWidget).
struct PageCommands {
    QList<QObject*> insert; // the darj flag
    QList<QObject*> edit;   // the virayesh flag
    QList<QObject*> remove; // the hazf flag
};

// Enables or disables each command.
void SetCommandsEnabled(const QList<QObject*>& commands, bool enabled);

// What the main window gives a page while it gets ready.
class PageContext {
  public:
    PageContext(QSize mainSize, CurrentPersianDate& date) : mainSize_(mainSize), date_(date) {}

    // The page takes the main window's width - 30 and height - 50.
    void fitSize(QWidget& page) const;
    // The page takes the main window's height - 50 and keeps its width.
    void fitHeight(QWidget& page) const;
    // Today's date text "yyyy/mm/dd", read from the clock now.
    QString today() const;

  private:
    QSize mainSize_;
    CurrentPersianDate& date_;
};

class Page {
  public:
    virtual ~Page() = default;

    // The controls the right switches; none by default.
    virtual PageCommands commands() { return {}; }
    // The page's own preparation steps, in its own order, after the access check.
    virtual void prepare(const PageContext& context) = 0;
    // Shows the page modally; returns when it is closed.
    virtual void showModal() = 0;
};

} // namespace gc
