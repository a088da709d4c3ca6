#include "registers/prs/prs_print.h"

#include "registers/prs/prs_list.h"
#include "registers/shared/list_report.h"

namespace gc::registers {

namespace {

// From right to left, across the 277 mm of A4 landscape inside the margins.
const std::vector<ListReportColumn> kColumns = {{"رديف", "", 10},
                                                {"شماره کارت", "cart_no", 22},
                                                {"نام", "nam", 30},
                                                {"زمان ورود", "vorod_tim", 17},
                                                {"زمان خروج", "exit_tim", 17},
                                                {"تاريخ", "exit_dat", 21},
                                                {"سمت", "semat", 26},
                                                {"علت", "elat", 26},
                                                {"توضيحات", "cmt", 48},
                                                {"نگهبان خروج", "negahban1", 30},
                                                {"نگهبان ورود", "negahban2", 30}};

} // namespace

Tprs_print::Tprs_print(Tprs_list& list) : list_(list) {
    list_.setReportLayout(this);
}

Tprs_print::~Tprs_print() {
    list_.setReportLayout(nullptr);
}

std::unique_ptr<report::Report> Tprs_print::QuickRep1() const {
    return makeListReport(QStringLiteral("تردد پرسنل"), QPageLayout::Landscape, kColumns);
}

} // namespace gc::registers
