#pragma once

#include "platform/report/page_setup.h"

#include <QString>

namespace gc::report {

// What the print spooler says of one queue.
struct QueueState {
    bool exists = false;
    bool accepting = false; // takes new jobs (a rejecting queue refuses them)
    bool paused = false;    // holds its jobs instead of printing them
    QString message;        // the spooler's own words on the state, when it has any
};

// The queue the spooler names as the default; empty when it names none.
QString defaultQueue();
// Whether any queue is installed.
bool anyQueue();
QueueState queueState(const QString& queue);

// Why `queue` in `state` cannot take a print now, in the guard's words; empty when it can.
QString whyNotReady(const QString& queue, const QueueState& state);

// The spooler's name for the paper of `page` ("A4", "A5", "Custom.80x144mm").
QString mediaName(const PageSetup& page);

struct Submission {
    int job = 0;   // the spooler's job number; 0 when the job was refused
    QString error; // why it was refused
};

// Hands a PDF file to `queue` on the paper of `page`; the job is the spooler's from then on.
Submission submitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                     const PageSetup& page, int copies);

} // namespace gc::report
