#pragma once

#include <QString>

class QPagedPaintDevice;

namespace gc::report {

class Report;

struct RenderResult {
    int pages = 0;
    int rows = 0;
    QString error; // empty on success
    bool ok() const { return error.isEmpty(); }
};

// True when the report gives no page: no rows and not printed when empty.
bool printsNothing(const Report& report);

// Lays the report out onto `device` page by page as the rows stream from its data source,
// which is left on the row it was on. The device's page layout must already be set
// (see applyPageSetup); the caller owns no painter on it.
RenderResult render(Report& report, QPagedPaintDevice& device);

// Gives the device the report's paper, orientation and a margin-free layout.
bool applyPageSetup(const Report& report, QPagedPaintDevice& device);

} // namespace gc::report
