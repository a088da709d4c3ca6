#pragma once

#include "platform/report/report.h"

#include <memory>

namespace gc::registers {

// "برگه ملاقات اداري", 80 x 144 mm: one slip per row of its data. A visit's slip shows the
// visit joined with its room (the fields of the slip selection) and the room's sketch; a
// blank card shows the slip's captions without a visitor or a sketch and carries the
// card's number as text. Either way the barcode carries the row's "barcod" as Code 39 full
// ASCII without a check character, which is what the exit scan reads.
class Tbarge_molaghat {
  public:
    enum class Content { Visit, BlankCard };

    // A fresh layout without rows; the caller sets the report's data.
    static std::unique_ptr<report::Report> Report1(Content content);
};

} // namespace gc::registers
