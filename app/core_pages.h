#pragma once

#include "windows/shell/page.h"

namespace gc {

class CurrentUser;
class Tsetting;
class Tusers;
namespace capture {
class Tdorbin;
}

// The users page: its right switches the two save buttons and the delete item; the
// window shows the current user and keeps its own size.
class UsersPage final : public Page {
  public:
    UsersPage(Tusers& window, const CurrentUser& user) : window_(window), user_(user) {}
    PageCommands commands() override;
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tusers& window_;
    const CurrentUser& user_;
};

// The preset lists page: the right switches adding and the delete item, never
// "پيش فرض"; the window takes the main window's height.
class SettingPage final : public Page {
  public:
    explicit SettingPage(Tsetting& window) : window_(window) {}
    PageCommands commands() override;
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tsetting& window_;
};

// The camera window, shown modally from the main menu.
class DorbinPage final : public Page {
  public:
    explicit DorbinPage(capture::Tdorbin& window) : window_(window) {}
    void prepare(const PageContext&) override {}
    void showModal() override;

  private:
    capture::Tdorbin& window_;
};

} // namespace gc
