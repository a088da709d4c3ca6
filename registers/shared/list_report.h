#pragma once

#include "platform/report/fonts.h"
#include "platform/report/report.h"

#include <QHash>
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

// The sizes and fonts of a list report; the defaults are the common look.
struct ListReportLook {
    double pageHeaderMm = 26.0;
    double columnHeaderMm = 6.5; // the title strip; its band is half a millimetre taller
    double rowMm = 6.5;
    report::FontSpec rowFont = report::FontSpec::pixels96(QStringLiteral("Tahoma"), 12);
    // Fields drawn in another font than `rowFont`.
    QHash<QString, report::FontSpec> fieldFonts = {};
};

// A fresh list report on A4 in `orientation`, printed even when empty, with `columns` from
// right to left across the page's printable width.
std::unique_ptr<report::Report> makeListReport(const QString& title,
                                               QPageLayout::Orientation orientation,
                                               const std::vector<ListReportColumn>& columns,
                                               const ListReportLook& look = {});

} // namespace gc::registers
