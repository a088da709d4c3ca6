#pragma once

#include "platform/report/report.h"

#include <memory>

namespace gc::registers {

class Tparking;

// The parking report, A4 portrait: the shared list page header, a light blue column
// header and one framed line per row with its running number, on the list's rows as
// filtered and sorted.
class Tparking_rep {
  public:
    explicit Tparking_rep(Tparking& list);
    ~Tparking_rep();
    Tparking_rep(const Tparking_rep&) = delete;
    Tparking_rep& operator=(const Tparking_rep&) = delete;

    // A fresh layout without rows or date; the list sets both.
    std::unique_ptr<report::Report> Report1() const;

  private:
    Tparking& list_;
};

} // namespace gc::registers
