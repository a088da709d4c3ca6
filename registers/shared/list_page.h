#pragma once

#include "windows/shell/page.h"

#include <functional>

namespace gc::registers {

class RegisterList;

// A register's list window as a page of the main window: its right switches the list's
// new, edit and delete commands; the register gives its own preparation steps.
class RegisterListPage final : public Page {
  public:
    using Prepare = std::function<void(const PageContext&)>;
    RegisterListPage(RegisterList& list, Prepare prepare)
        : list_(list), prepare_(std::move(prepare)) {}

    PageCommands commands() override;
    void prepare(const PageContext& context) override { prepare_(context); }
    void showModal() override;

  private:
    RegisterList& list_;
    Prepare prepare_;
};

} // namespace gc::registers
