#include "registers/arbab/arbab_layouts.h"

#include "platform/report/elements.h"
#include "registers/shared/list_report.h"

namespace gc::registers {

namespace {

using namespace report;

// From right to left, each column up to the left edge of the one before it.
const std::vector<ListReportColumn> kListColumns = {{"رديف", "", 10.8},
                                                    {"تاريخ", "dat", 28.6},
                                                    {"نام", "name", 28.0},
                                                    {"مقصد", "maghsad", 42.4},
                                                    {"طبقه", "tabaghe", 16.9},
                                                    {"اتاق", "otagh", 10.6},
                                                    {"شماره كارت", "cart_no", 20.1},
                                                    {"مدرك", "madrak", 20.1},
                                                    {"ورود", "vorod", 13.2},
                                                    {"خروج", "khoroj", 13.5},
                                                    {"جنسيت", "gender", 15.7},
                                                    {"شرح", "cmt", 30.4},
                                                    {"نگهبان", "negahban", 26.7}};

// The visitor list's own bands; the visitor's, the destination, the date, the comment and
// the guard stand out in bold.
ListReportLook listLook() {
    ListReportLook look;
    look.pageHeaderMm = 24.1;
    look.columnHeaderMm = 6.3;
    look.rowMm = 6.1;
    look.rowFont = FontSpec::pixels96(QStringLiteral("Arial"), 13);
    for (const char* field : {"name", "maghsad", "dat", "cmt", "negahban"})
        look.fieldFonts.insert(QString::fromLatin1(field),
                               FontSpec::pixels96(QStringLiteral("Tahoma"), 11, true));
    return look;
}

constexpr double kCountWidthMm = 127.0;
const double kCountDividers[] = {112.2, 27.5};

template <class T> T& centred(T& element, QRectF mm, const QString& family, bool bold) {
    element.geometryMm = mm;
    element.style.font = FontSpec::pixels96(family, 13, bold);
    element.style.alignment = Qt::AlignCenter;
    return element;
}

// A framed line with the two dividers of the count columns.
void countFrame(Band& band, double heightMm) {
    band.add<Shape>().geometryMm = {0, 0, kCountWidthMm, heightMm};
    for (double x : kCountDividers)
        band.add<Line>().geometryMm = {x, 0, 0, heightMm};
}

} // namespace

std::unique_ptr<Report> Tarbabrojo_rep::Report1() {
    return makeListReport(QStringLiteral("نگهباني - ليست ارباب رجوع اداره مركزي"),
                          QPageLayout::Landscape, kListColumns, listLook());
}

std::unique_ptr<Report> Trep_count::Report1(bool byName) {
    auto r = std::make_unique<Report>();
    r->title = QStringLiteral("گزارش تعدادي");
    r->page = PageSetup::a5();
    const QString zar = QStringLiteral("Zar");

    r->pageHeader.heightMm = 10.6;
    centred(r->pageHeader.add<Label>(QStringLiteral("گزارش تعدادي")), {0, 2.1, 128.0, 7.0},
            QStringLiteral("Titr"), true);

    Band& titles = r->columnHeader;
    titles.heightMm = 7.1;
    countFrame(titles, 6.6);
    centred(titles.add<Label>(QStringLiteral("رديف")), {112.2, 0, 14.8, 6.6}, zar, true);
    centred(titles.add<Label>(QStringLiteral("شرح")), {27.5, 0, 84.7, 6.6}, zar, true);
    centred(titles.add<Label>(QStringLiteral("تعداد")), {0, 0, 27.5, 6.6}, zar, true);

    Band& line = r->detail;
    line.heightMm = 8.2;
    countFrame(line, 7.4);
    const QString arial = QStringLiteral("Arial");
    centred(line.add<Expression>(Expression::Kind::RowNumber), {113.5, 0, 12.7, 7.4}, arial, false);
    centred(line.add<DataField>(byName ? QStringLiteral("name") : QStringLiteral("maghsad")),
            {28.6, 0, 83.1, 7.4}, arial, false);
    centred(line.add<DataField>(QStringLiteral("c")), {2.1, 0, 23.5, 7.4}, arial, false);
    return r;
}

std::unique_ptr<Report> Tkoroki_mash::Report1() {
    auto r = std::make_unique<Report>();
    r->title = sketchCaption();
    r->page = PageSetup::custom(79.9, 149.0);
    r->page.marginsMm = {3.0, 3.0, 3.0, 3.0};
    // A page band, not a row band: the sketch belongs to no visit.
    Band& page = r->pageHeader;
    page.heightMm = 142.6;
    page.add<Shape>().geometryMm = {0.3, 0.5, 73.3, 141.3};
    return r;
}

QString sketchCaption() {
    return QStringLiteral("کروکي محل");
}

} // namespace gc::registers
