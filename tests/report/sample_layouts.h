#pragma once

#include "platform/report/memory_source.h"
#include "platform/report/report.h"

#include <memory>

// A register list report as the program lays it out: a page header with the title, the
// date label and the page number, a shaded column header and one framed detail row per
// record with its running number.
namespace gc::report::sample {

inline const QStringList kFields = {"ranande", "num",       "exit_dat",  "exit_tim",
                                    "elat",    "maghsad",   "vorod_dat", "vorod_tim",
                                    "cmt",     "negahban1", "negahban2"};

std::unique_ptr<MemorySource> vehicleRows(int count);
void layoutVehicleList(Report& report);

} // namespace gc::report::sample
