#pragma once

#include "windows/shell/page.h"

namespace gc {

class Tpayam;
class Totaghha;

// The messages window as a page: no right switches anything; it keeps its own size.
class PayamPage final : public Page {
  public:
    explicit PayamPage(Tpayam& window) : window_(window) {}
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Tpayam& window_;
};

// The rooms window as a page: the right switches adding and the delete item; the
// window takes the main window's height.
class OtaghPage final : public Page {
  public:
    explicit OtaghPage(Totaghha& window) : window_(window) {}
    PageCommands commands() override;
    void prepare(const PageContext& context) override;
    void showModal() override;

  private:
    Totaghha& window_;
};

} // namespace gc
