#pragma once

#include <QString>
#include <functional>

namespace gc {
class Tdm;
class CurrentPersianDate;
namespace platform {
class Clock;
}
namespace xlsx {
class FileOpener;
}
namespace report {
class PrintUi;
}
} // namespace gc

namespace gc::registers {

// What the register windows share with the rest of the program. Start-up builds one; tests
// build their own with fakes.
struct RegisterContext {
    Tdm& dm;
    CurrentPersianDate& date;           // the program-wide current date
    const platform::Clock& clock;       // read by the time stamps
    std::function<QString()> guardName; // the user name typed at login
    xlsx::FileOpener& opener;           // opens exported workbooks
    report::PrintUi& printUi;           // preview and the print questions
    QString exportFolder = {};          // empty: "gatecontrol" under the user's documents
};

} // namespace gc::registers
