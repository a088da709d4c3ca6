#pragma once

#include "platform/report/report.h"

#include <memory>

namespace gc::registers {

class Tprs_list;

// The monthly personnel sheet on A4 portrait: the titles, the person and the range in the
// page header, one boxed line per day with the weekday, the date and four entry and exit
// pairs, and boxes for leave, missions and lateness in the page footer. Its texts are the
// variables nam, semat, loc, dat1, dat2 and dat; its rows have the sheet's columns. The
// list it is attached to previews it.
class Tprs_chap {
  public:
    explicit Tprs_chap(Tprs_list& list);
    ~Tprs_chap();
    Tprs_chap(const Tprs_chap&) = delete;
    Tprs_chap& operator=(const Tprs_chap&) = delete;

    std::unique_ptr<report::Report> QuickRep1() const;

  private:
    Tprs_list& list_;
};

} // namespace gc::registers
