#include "sample_layouts.h"

#include "platform/report/elements.h"

namespace gc::report::sample {

std::unique_ptr<MemorySource> vehicleRows(int count) {
    auto source = std::make_unique<MemorySource>(kFields);
    for (int i = 1; i <= count; ++i)
        source->addRow({QStringLiteral("راننده %1").arg(i), QString::number(120000 + i),
                        QStringLiteral("1403/05/%1").arg(i % 30 + 1, 2, 10, QChar(u'0')),
                        QStringLiteral("08:%1").arg(i % 60, 2, 10, QChar(u'0')),
                        QStringLiteral("ماموريت"), QStringLiteral("دفتر مركزي"),
                        QStringLiteral("1403/05/%1").arg(i % 30 + 1, 2, 10, QChar(u'0')),
                        QStringLiteral("16:%1").arg(i % 60, 2, 10, QChar(u'0')),
                        QStringLiteral("  بدون شرح  "), QStringLiteral("نگهبان يك"),
                        QStringLiteral("نگهبان دو")});
    return source;
}

namespace {

template <class T> T& styled(T& element, QRectF mm, double px, bool bold) {
    element.geometryMm = mm;
    element.style.font = FontSpec::pixels96(QStringLiteral("Tahoma"), px, bold);
    return element;
}

} // namespace

void layoutVehicleList(Report& report) {
    report.title = QStringLiteral("نگهباني-تردد خودرو");
    report.page = PageSetup::a4(QPageLayout::Landscape);

    Band& head = report.pageHeader;
    head.heightMm = 24.0;
    styled(head.add<Label>(QStringLiteral("کاروندیس")), {89, 1, 99, 11}, 24, true).style.alignment =
        Qt::AlignCenter;
    styled(head.add<Label>(report.title), {89, 11, 99, 11}, 24, true).style.alignment =
        Qt::AlignCenter;
    styled(head.add<Label>(QStringLiteral("تاريخ :")), {30, 7, 20, 6}, 11, true);
    styled(head.add<Expression>(Expression::Kind::Variable, QStringLiteral("dat")), {5, 7, 25, 6},
           11, true);
    styled(head.add<Label>(QStringLiteral("شماره صفحه:")), {30, 15, 20, 6}, 11, true);
    styled(head.add<Expression>(Expression::Kind::PageNumber), {5, 15, 25, 6}, 11, true);

    const double widths[] = {9, 30, 24, 20, 14, 24, 26, 20, 14, 36, 30, 30};
    const QStringList titles = {
        "رديف", "نام راننده", "شماره و نوع ماشين", "تاريخ خروج", "ساعت خروج",   "علت خروج",
        "مقصد", "تاريخ ورود", "ساعت ورود",         "شرح",        "نگهبان خروج", "نگهبان ورود"};
    Band& columns = report.columnHeader;
    columns.heightMm = 7.0;
    auto& shade = columns.add<Shape>();
    shade.geometryMm = {0, 0, 277, 6.3};
    shade.fill = QColor(157, 206, 255);

    Band& detail = report.detail;
    detail.heightMm = 6.1;
    auto& frame = detail.add<Shape>();
    frame.geometryMm = {0, 0, 277, 6.1};

    double right = 277;
    for (int i = 0; i < 12; ++i) {
        const QRectF cell(right - widths[i], 0, widths[i], 6.1);
        styled(columns.add<Label>(titles[i]), cell.adjusted(0.5, 0, -0.5, 0), 11, true)
            .style.alignment = Qt::AlignCenter;
        if (i == 0)
            styled(detail.add<Expression>(Expression::Kind::RowNumber), cell, 13, false)
                .style.alignment = Qt::AlignCenter;
        else
            styled(detail.add<DataField>(kFields[i - 1]), cell.adjusted(0.5, 0, -0.5, 0), 13,
                   false);
        right -= widths[i];
        if (right > 0) {
            detail.add<Line>().geometryMm = {right, 0, 0, 6.1};
            columns.add<Line>().geometryMm = {right, 0, 0, 6.3};
        }
    }
    report.variables.insert(QStringLiteral("dat"), QStringLiteral("1403/05/21"));
}

} // namespace gc::report::sample
