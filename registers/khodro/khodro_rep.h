#pragma once

#include "platform/report/report.h"

#include <memory>

namespace gc::registers {

class Tkhodro_list;

// The vehicle report, A4 landscape: the page header with the title, the organisation's
// name, the date label "dat" and the page number; a light blue column header; one line per
// vehicle with its running number. It prints through the list it is attached to, on the
// list's rows as filtered and sorted.
class Tkhodro_rep {
  public:
    explicit Tkhodro_rep(Tkhodro_list& list);
    ~Tkhodro_rep();
    Tkhodro_rep(const Tkhodro_rep&) = delete;
    Tkhodro_rep& operator=(const Tkhodro_rep&) = delete;

    // A fresh layout without rows or date; the list sets both.
    std::unique_ptr<report::Report> Report1() const;

  private:
    Tkhodro_list& list_;
};

} // namespace gc::registers
