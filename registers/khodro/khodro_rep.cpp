#include "registers/khodro/khodro_rep.h"

#include "platform/report/elements.h"
#include "registers/khodro/khodro_list.h"

namespace gc::registers {

namespace {

using namespace report;

// The column header's fill, 16764573 as the layout stores it (blue, green, red bytes).
const QColor kHeaderFill(157, 206, 255);
constexpr double kWidthMm = 277.0; // A4 landscape inside 10 mm margins
constexpr double kRowMm = 6.5;

template <class T>
T& styled(T& element, QRectF mm, double px, bool bold, Qt::Alignment align = Qt::AlignCenter) {
    element.geometryMm = mm;
    element.style.font = FontSpec::pixels96(QStringLiteral("Tahoma"), px, bold);
    element.style.alignment = align;
    return element;
}

struct Column {
    const char* title;
    const char* field; // empty for the running number
    double widthMm;
};

// From right to left.
const Column kColumns[] = {{"رديف", "", 10},
                           {"نام راننده", "ranande", 28},
                           {"شماره و نوع ماشين", "num", 26},
                           {"تاريخ خروج", "exit_dat", 20},
                           {"ساعت خروج", "exit_tim", 15},
                           {"علت خروج", "elat", 24},
                           {"مقصد", "maghsad", 25},
                           {"تاريخ ورود", "vorod_dat", 20},
                           {"ساعت ورود", "vorod_tim", 15},
                           {"شرح", "cmt", 40},
                           {"نگهبان خروج", "negahban1", 27},
                           {"نگهبان ورود", "negahban2", 27}};

void pageHeader(Report& r) {
    Band& head = r.pageHeader;
    head.heightMm = 26.0;
    styled(head.add<Label>(QStringLiteral("کاروندیس")), {70, 0, 137, 11}, 24, true);
    styled(head.add<Label>(QStringLiteral("نگهباني-تردد خودرو")), {70, 11, 137, 11}, 24, true);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    styled(head.add<Label>(QStringLiteral("تاريخ :")), {32, 6, 24, 7}, 13, true, right);
    styled(head.add<Expression>(Expression::Kind::Variable, QStringLiteral("dat")), {0, 6, 32, 7},
           13, true, right);
    styled(head.add<Label>(QStringLiteral("شماره صفحه:")), {32, 14, 24, 7}, 13, true, right);
    styled(head.add<Expression>(Expression::Kind::PageNumber), {0, 14, 32, 7}, 13, true, right);
}

void columns(Report& r) {
    Band& titles = r.columnHeader;
    titles.heightMm = kRowMm + 0.5;
    auto& fill = titles.add<Shape>();
    fill.geometryMm = {0, 0, kWidthMm, kRowMm};
    fill.fill = kHeaderFill;

    Band& detail = r.detail;
    detail.heightMm = kRowMm;
    detail.add<Shape>().geometryMm = {0, 0, kWidthMm, kRowMm};

    double right = kWidthMm;
    for (const Column& c : kColumns) {
        const QRectF cell(right - c.widthMm, 0, c.widthMm, kRowMm);
        const QRectF inner = cell.adjusted(0.5, 0, -0.5, 0);
        styled(titles.add<Label>(QString::fromUtf8(c.title)), inner, 11, true);
        if (*c.field)
            styled(detail.add<DataField>(QString::fromLatin1(c.field)), inner, 12, false,
                   Qt::AlignRight | Qt::AlignVCenter);
        else
            styled(detail.add<Expression>(Expression::Kind::RowNumber), inner, 12, false);
        right -= c.widthMm;
        if (right > 0.1) {
            titles.add<Line>().geometryMm = {right, 0, 0, kRowMm};
            detail.add<Line>().geometryMm = {right, 0, 0, kRowMm};
        }
    }
}

} // namespace

Tkhodro_rep::Tkhodro_rep(Tkhodro_list& list) : list_(list) {
    list_.setReportLayout(this);
}

Tkhodro_rep::~Tkhodro_rep() {
    list_.setReportLayout(nullptr);
}

std::unique_ptr<report::Report> Tkhodro_rep::Report1() const {
    auto r = std::make_unique<Report>();
    r->title = QStringLiteral("نگهباني-تردد خودرو");
    r->page = PageSetup::a4(QPageLayout::Landscape);
    r->printIfEmpty = true;
    pageHeader(*r);
    columns(*r);
    return r;
}

} // namespace gc::registers
