#pragma once

#include "platform/keyboard/keyboard_layout.h"
#include "windows/shell/page.h"

#include <QMainWindow>
#include <map>
#include <memory>

class QLabel;
class QMenu;
class QTimer;

namespace gc {

class Services;
class Tdm;

// "كنترل ورود و خروج": the window the user works from after logging in. Its menu
// opens every page after checking the user's right for it (see page.h for
// how pages plug in), stores the two report projects, polls for unread messages
// and asks before the program ends.
class Tmain : public QMainWindow {
    Q_OBJECT
  public:
    // Closing `applicationWindow` (the login window) ends the program.
    Tmain(Tdm& dm, Services& services, QWidget& applicationWindow, QWidget* parent = nullptr);
    ~Tmain() override;

    static constexpr int kPollInterval = 5000;

    QLabel* Image1;
    QTimer* Timer1; // the unread-message poll; off until the login starts it

    // Makes `page` the one opened by the menu entry `entry` (a key listed in
    // page.h). Throws std::invalid_argument for a key no entry has, or one
    // already taken.
    void registerPage(const QString& entry, std::unique_ptr<Page> page);
    Page* page(const QString& entry) const;

    // The user's right for `pageKey`: refuses with the message when there is no row
    // or the open flag is off; switches `target`'s commands from the row first.
    bool CheckPageAccess(const QString& pageKey, Page* target);

    void N1Click();
    void N16Click();
    void N8Click();
    void N3Click();
    void N11Click();
    void N10Click();
    void N17Click();
    void N18Click();
    void N6Click();
    void N14Click();
    void N12Click();
    void N7Click();
    void N9Click();
    void N15Click();
    void N13Click();
    void N19Click();
    void N5Click();
    void N2Click();
    void N20Click();
    void N21Click();

    // After a login has shown the window: says in the status bar why the keyboard is not
    // Persian when it could not be switched, and tells a user who can open the users page
    // and nothing else where rights are granted and how (once a run).
    void afterLogin(platform::KeyboardSwitch keyboard);
    // The status bar's note on the keyboard; hidden while there is nothing to say.
    QLabel* keyboardNote() const { return keyboardNote_; }

    void Timer1Timer();
    // Asks before the program ends; true to go on.
    bool FormCloseQuery();
    void FormResize();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildMenu();
    // Checks `right` (none for an empty key), then prepares and shows the page of `entry`.
    void openEntry(const QString& entry, const QString& right);
    void uploadReportProject(const QString& table);
    void showKeyboardNote(const QString& note);
    void tellFirstSteps();

    Tdm& dm_;
    Services& services_;
    QWidget& applicationWindow_;
    std::map<QString, std::unique_ptr<Page>> pages_;
    bool pollErrorShown_ = false;
    QLabel* keyboardNote_ = nullptr;
    bool firstStepsTold_ = false;
};

} // namespace gc
