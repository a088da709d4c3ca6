#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

namespace gc::report {

// A report's paper, in millimetres.
struct PageSetup {
    QSizeF paperMm{210.0, 297.0}; // width x height as the paper stands in portrait
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm{10.0, 10.0, 10.0, 10.0};

    static PageSetup a4(QPageLayout::Orientation o = QPageLayout::Portrait);
    static PageSetup a5(QPageLayout::Orientation o = QPageLayout::Portrait);
    static PageSetup custom(double widthMm, double heightMm,
                            QPageLayout::Orientation o = QPageLayout::Portrait);

    // The page as it is printed (turned for landscape), and the area inside the margins.
    QSizeF sizeMm() const;
    QRectF contentMm() const;
    // A layout without margins: the report draws its own margins on the whole page.
    QPageLayout pageLayout() const;
};

} // namespace gc::report
