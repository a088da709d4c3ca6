#pragma once

#include "platform/report/report.h"

#include <memory>

// The visitor register's other printed layouts; each comes fresh, without rows.
namespace gc::registers {

// The visitor list, A4 landscape: numbered rows in the list's order; the program sets the
// date label "dat".
struct Tarbabrojo_rep {
    static std::unique_ptr<report::Report> Report1();
};

// Visits counted per destination or per name, A5: rows of "c" with "maghsad" or "name".
struct Trep_count {
    static std::unique_ptr<report::Report> Report1(bool byName);
};

// The location sketch, 79.9 x 149 mm: one page, whatever the slip query holds.
struct Tkoroki_mash {
    static std::unique_ptr<report::Report> Report1();
};

// The sketch print's title, as the printer's queue and the failure message name it.
QString sketchCaption();

} // namespace gc::registers
