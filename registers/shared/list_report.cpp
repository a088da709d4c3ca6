#include "registers/shared/list_report.h"

#include "platform/report/elements.h"

#include <algorithm>

namespace gc::registers {

namespace {

using namespace report;

// The column header's fill, 16764573 as the layouts store it (blue, green, red bytes).
const QColor kHeaderFill(157, 206, 255);
constexpr double kTitleWidthMm = 137.0;
// The date and page number fill the left 56 mm of the header; the titles keep clear of them.
constexpr double kHeaderInfoMm = 57.0;
// The smallest sizes a title and a column title shrink to before they wrap.
constexpr double kTitleFloorPt = 11.0;
constexpr double kColumnTitleFloorPt = 6.0;

template <class T>
T& styled(T& element, QRectF mm, double px, bool bold, Qt::Alignment align = Qt::AlignCenter) {
    element.geometryMm = mm;
    element.style.font = FontSpec::pixels96(QStringLiteral("Tahoma"), px, bold);
    element.style.alignment = align;
    return element;
}

template <class T> T& fitted(T& element, double floorPt) {
    element.style.minPointSize = floorPt;
    return element;
}

void pageHeader(Report& r, const QString& title, double widthMm, double heightMm) {
    Band& head = r.pageHeader;
    head.heightMm = heightMm;
    // Centred, but never over the date and page number (on A4 portrait it would be).
    const double titleLeft = std::max((widthMm - kTitleWidthMm) / 2, kHeaderInfoMm);
    const double titleWidth = widthMm - 2 * titleLeft;
    fitted(styled(head.add<Label>(QStringLiteral("کاروندیس")), {titleLeft, 0, titleWidth, 11}, 24,
                  true),
           kTitleFloorPt);
    fitted(styled(head.add<Label>(title), {titleLeft, 11, titleWidth, 11}, 24, true),
           kTitleFloorPt);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    styled(head.add<Label>(QStringLiteral("تاريخ :")), {32, 6, 24, 7}, 13, true, right);
    styled(head.add<Expression>(Expression::Kind::Variable, QStringLiteral("dat")), {0, 6, 32, 7},
           13, true, right);
    styled(head.add<Label>(QStringLiteral("شماره صفحه:")), {32, 14, 24, 7}, 13, true, right);
    styled(head.add<Expression>(Expression::Kind::PageNumber), {0, 14, 32, 7}, 13, true, right);
}

void columnBands(Report& r, const std::vector<ListReportColumn>& columns, double widthMm,
                 const ListReportLook& look) {
    Band& titles = r.columnHeader;
    titles.heightMm = look.columnHeaderMm + 0.5;
    auto& fill = titles.add<Shape>();
    fill.geometryMm = {0, 0, widthMm, look.columnHeaderMm};
    fill.fill = kHeaderFill;

    Band& detail = r.detail;
    detail.heightMm = look.rowMm;
    detail.add<Shape>().geometryMm = {0, 0, widthMm, look.rowMm};

    double right = widthMm;
    for (const ListReportColumn& c : columns) {
        const QRectF title(right - c.widthMm + 0.5, 0, c.widthMm - 1.0, look.columnHeaderMm);
        const QRectF cell(right - c.widthMm + 0.5, 0, c.widthMm - 1.0, look.rowMm);
        fitted(styled(titles.add<Label>(QString::fromUtf8(c.title)), title, 11, true),
               kColumnTitleFloorPt);
        const QString field = QString::fromLatin1(c.field);
        TextElement& value =
            field.isEmpty()
                ? static_cast<TextElement&>(detail.add<Expression>(Expression::Kind::RowNumber))
                : detail.add<DataField>(field);
        value.geometryMm = cell;
        value.style.font = look.fieldFonts.value(field, look.rowFont);
        value.style.alignment =
            field.isEmpty() ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter;
        right -= c.widthMm;
        if (right > 0.1) {
            titles.add<Line>().geometryMm = {right, 0, 0, look.columnHeaderMm};
            detail.add<Line>().geometryMm = {right, 0, 0, look.rowMm};
        }
    }
}

} // namespace

std::unique_ptr<Report> makeListReport(const QString& title, QPageLayout::Orientation orientation,
                                       const std::vector<ListReportColumn>& columns,
                                       const ListReportLook& look) {
    auto r = std::make_unique<Report>();
    r->title = title;
    r->page = PageSetup::a4(orientation);
    r->printIfEmpty = true;
    const double widthMm = orientation == QPageLayout::Landscape ? 277.0 : 190.0;
    pageHeader(*r, title, widthMm, look.pageHeaderMm);
    columnBands(*r, columns, widthMm, look);
    return r;
}

} // namespace gc::registers
