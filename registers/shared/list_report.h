#pragma once

#include "platform/report/report.h"

#include <memory>
#include <vector>

// The printed lists of the registers share one look: a page header with the organisation's
// name, the title, the date label "dat" and the page number; a light blue column header;
// one framed line per row with its running number.
namespace gc::registers {

struct ListReportColumn {
    const char* title;
    const char* field; // empty for the running number
    double widthMm;
};

// A fresh list report on A4 in `orientation`, printed even when empty, with `columns` from
// right to left across the page's printable width.
std::unique_ptr<report::Report> makeListReport(const QString& title,
                                               QPageLayout::Orientation orientation,
                                               const std::vector<ListReportColumn>& columns);

} // namespace gc::registers
