#include "registers/khodro/khodro_rep.h"

#include "registers/khodro/khodro_list.h"
#include "registers/shared/list_report.h"

namespace gc::registers {

namespace {

// From right to left, across the 277 mm of A4 landscape inside the margins.
const std::vector<ListReportColumn> kColumns = {{"رديف", "", 10},
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

} // namespace

Tkhodro_rep::Tkhodro_rep(Tkhodro_list& list) : list_(list) {
    list_.setReportLayout(this);
}

Tkhodro_rep::~Tkhodro_rep() {
    list_.setReportLayout(nullptr);
}

std::unique_ptr<report::Report> Tkhodro_rep::Report1() const {
    return makeListReport(QStringLiteral("نگهباني-تردد خودرو"), QPageLayout::Landscape, kColumns);
}

} // namespace gc::registers
