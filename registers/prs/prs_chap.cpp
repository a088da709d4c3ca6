#include "registers/prs/prs_chap.h"

#include "platform/report/elements.h"
#include "registers/prs/prs_list.h"

#include <vector>

namespace gc::registers {

namespace {

using namespace report;

constexpr double kWidthMm = 190.0;
constexpr double kRowMm = 6.0;

template <class T>
T& placed(T& element, QRectF mm, double px, bool bold, Qt::Alignment align = Qt::AlignCenter) {
    element.geometryMm = mm;
    element.style.font = FontSpec::pixels96(QStringLiteral("Tahoma"), px, bold);
    element.style.alignment = align;
    return element;
}

void box(Band& band, QRectF mm) {
    band.add<Shape>().geometryMm = mm;
}

struct Column {
    const char* title;
    const char* field; // empty for the line number
    double widthMm;
};

// From right to left across the page.
const std::vector<Column> kColumns = {
    {"رديف", "", 8},    {"ايام هفته", "roz", 18}, {"تاريخ", "dat", 20},
    {"ورود", "v1", 11}, {"خروج", "e1", 11},       {"ورود", "v2", 11},
    {"خروج", "e2", 11}, {"ورود", "v3", 11},       {"خروج", "e3", 11},
    {"ورود", "v4", 11}, {"خروج", "e4", 11},       {"نوع تردد(عادي/مرخصي/ماموريت)", "cmt", 56}};

void pageHeader(Band& head) {
    head.heightMm = 36.0;
    placed(head.add<Label>(QStringLiteral("ورود و خروج")), {45, 0, 100, 9}, 22, true);
    placed(head.add<Label>(QStringLiteral("دفتر مرکزي حراست")), {45, 9, 100, 8}, 18, true);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const struct {
        const char* caption;
        double captionMm;
        const char* variable;
    } rows[2][3] = {
        {{"نام و نام خانوادگي:", 34, "nam"}, {"سمت:", 12, "semat"}, {"محل خدمت:", 22, "loc"}},
        {{"از تاريخ:", 18, "dat1"}, {"تا تاريخ:", 18, "dat2"}, {"تاريخ گزارش:", 24, "dat"}}};
    const double cellMm = kWidthMm / 3;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) {
            const auto& cell = rows[r][c];
            const double right0 = kWidthMm - c * cellMm;
            const double top = 20.0 + r * 7.5;
            placed(head.add<Label>(QString::fromUtf8(cell.caption)),
                   {right0 - cell.captionMm, top, cell.captionMm, 7}, 13, true, right);
            placed(
                head.add<Expression>(Expression::Kind::Variable, QString::fromUtf8(cell.variable)),
                {right0 - cellMm, top, cellMm - cell.captionMm - 1, 7}, 13, false, right);
        }
}

void columnBands(Band& titles, Band& detail) {
    titles.heightMm = kRowMm + 2;
    detail.heightMm = kRowMm;
    double right = kWidthMm;
    for (const Column& c : kColumns) {
        const QRectF titleCell(right - c.widthMm, 0, c.widthMm, kRowMm + 2);
        const QRectF cell(right - c.widthMm, 0, c.widthMm, kRowMm);
        box(titles, titleCell);
        box(detail, cell);
        placed(titles.add<Label>(QString::fromUtf8(c.title)), titleCell.adjusted(0.5, 0, -0.5, 0),
               10, true);
        if (*c.field)
            placed(detail.add<DataField>(QString::fromLatin1(c.field)),
                   cell.adjusted(0.5, 0, -0.5, 0), 12, false);
        else
            placed(detail.add<Expression>(Expression::Kind::RowNumber),
                   cell.adjusted(0.5, 0, -0.5, 0), 12, false);
        right -= c.widthMm;
    }
}

void pageFooter(Band& foot) {
    foot.heightMm = 34.0;
    placed(foot.add<Label>(QStringLiteral("توضيحات:")), {kWidthMm - 22, 2, 22, 7}, 13, true,
           Qt::AlignRight | Qt::AlignVCenter);
    box(foot, {0, 2, kWidthMm - 24, 8});
    const char* const captions[] = {
        "مرخصي استحقاقي:", "مرخصي استعلاجي", "مرخصي بدون حقوق", "مرخصي ساعتي", "ماموريت روزانه",
        "تاخير",           "تعجيل"};
    for (int i = 0; i < 7; ++i) {
        const double right0 = kWidthMm - (i % 4) * 47.5;
        const double top = 13.0 + (i / 4) * 10.0;
        placed(foot.add<Label>(QString::fromUtf8(captions[i])), {right0 - 29, top, 29, 8}, 11, true,
               Qt::AlignRight | Qt::AlignVCenter);
        box(foot, {right0 - 46, top, 16, 8});
    }
}

} // namespace

Tprs_chap::Tprs_chap(Tprs_list& list) : list_(list) {
    list_.setSheetLayout(this);
}

Tprs_chap::~Tprs_chap() {
    list_.setSheetLayout(nullptr);
}

std::unique_ptr<Report> Tprs_chap::QuickRep1() const {
    auto r = std::make_unique<Report>();
    r->title = QStringLiteral("فرم تردد");
    r->page = PageSetup::a4(QPageLayout::Portrait);
    r->printIfEmpty = true;
    pageHeader(r->pageHeader);
    columnBands(r->columnHeader, r->detail);
    pageFooter(r->pageFooter);
    return r;
}

} // namespace gc::registers
