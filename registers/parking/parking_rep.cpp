#include "registers/parking/parking_rep.h"

#include "registers/parking/parking.h"
#include "registers/shared/list_report.h"

namespace gc::registers {

namespace {

// From right to left, across the 190 mm of A4 portrait inside the margins.
const std::vector<ListReportColumn> kColumns = {
    {"رديف", "", 10},        {"تاريخ", "dat", 22}, {"شماره و نوع ماشين", "num", 35},
    {"محل پارك", "loc", 40}, {"شرح", "cmt", 53},   {"نگهبان", "negahban", 30}};

} // namespace

Tparking_rep::Tparking_rep(Tparking& list) : list_(list) {
    list_.setReportLayout(this);
}

Tparking_rep::~Tparking_rep() {
    list_.setReportLayout(nullptr);
}

std::unique_ptr<report::Report> Tparking_rep::Report1() const {
    return makeListReport(QStringLiteral("نگهباني - ليست خودروهاي پاركينگ"), QPageLayout::Portrait,
                          kColumns);
}

} // namespace gc::registers
