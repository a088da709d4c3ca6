#pragma once

#include "windows/shell/page.h"

namespace gc::registers {

class Tasami;

// The personnel directory as a page: its right switches ins_btn and the pop-up's edit and
// delete entries; the window takes the main window's size.
class AsamiPage final : public Page {
  public:
    explicit AsamiPage(Tasami& window) : window_(window) {}
    PageCommands commands() override;
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tasami& window_;
};

} // namespace gc::registers
