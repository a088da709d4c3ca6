#pragma once

#include "windows/shell/page.h"

namespace gc::registers {

class Tkala;

// The goods catalogue as a page: its right switches adding and the delete item; the window
// takes the main window's height.
class KalaPage final : public Page {
  public:
    explicit KalaPage(Tkala& window) : window_(window) {}
    PageCommands commands() override;
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tkala& window_;
};

} // namespace gc::registers
