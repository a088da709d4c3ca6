#pragma once

#include "platform/report/output.h"
#include "platform/xlsx/file_opener.h"

namespace gcbench {

// Nothing a benchmark makes is shown to anybody: files stay unopened.
class NoOpener : public gc::xlsx::FileOpener {
  public:
    bool open(const QString&) override { return false; }
};

// Benchmarks print to PDF or not at all: no printer question comes.
class NoQuestions : public gc::report::PrintUi {
  public:
    NoPrinterChoice askNoPrinter(const QString&) override { return NoPrinterChoice::Cancel; }
    QString choosePdfPath(const QString&) override { return {}; }
    void preview(gc::report::Report&) override {}
};

} // namespace gcbench
