#pragma once

#include "platform/report/report.h"

#include <memory>

namespace gc::registers {

class Tprs_list;

// The printed personnel traffic list, A4 landscape: the title and page number, the boxed
// column header and one boxed, centred line per row with its running number. It prints
// through the list it is attached to, on the list's rows as filtered and sorted.
class Tprs_print {
  public:
    explicit Tprs_print(Tprs_list& list);
    ~Tprs_print();
    Tprs_print(const Tprs_print&) = delete;
    Tprs_print& operator=(const Tprs_print&) = delete;

    std::unique_ptr<report::Report> QuickRep1() const;

  private:
    Tprs_list& list_;
};

} // namespace gc::registers
