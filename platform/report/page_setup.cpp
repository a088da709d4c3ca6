#include "platform/report/page_setup.h"

#include <QPageSize>

namespace gc::report {

PageSetup PageSetup::a4(QPageLayout::Orientation o) {
    return custom(210.0, 297.0, o);
}

PageSetup PageSetup::a5(QPageLayout::Orientation o) {
    return custom(148.0, 210.0, o);
}

PageSetup PageSetup::custom(double widthMm, double heightMm, QPageLayout::Orientation o) {
    PageSetup p;
    p.paperMm = QSizeF(widthMm, heightMm);
    p.orientation = o;
    return p;
}

QSizeF PageSetup::sizeMm() const {
    return orientation == QPageLayout::Landscape ? paperMm.transposed() : paperMm;
}

QRectF PageSetup::contentMm() const {
    return QRectF(QPointF(0, 0), sizeMm()).marginsRemoved(marginsMm);
}

QPageLayout PageSetup::pageLayout() const {
    // A known size keeps its standard name (A4, A5) in the output; anything else is custom.
    const QPageSize size(paperMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace gc::report
