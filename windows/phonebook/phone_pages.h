#pragma once

#include "windows/shell/page.h"

namespace gc {

class Tlog;
class Tphone;

// The phone book: its right switches the insert button and the delete item, never
// "اکسل"; the window takes the main window's height.
class PhonePage final : public Page {
  public:
    explicit PhonePage(Tphone& window) : window_(window) {}
    PageCommands commands() override;
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tphone& window_;
};

// The activity-log viewer: nothing for a right to switch; it opens on the rows it
// last listed, without a search.
class LogPage final : public Page {
  public:
    explicit LogPage(Tlog& window) : window_(window) {}
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tlog& window_;
};

} // namespace gc
