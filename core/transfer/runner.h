#pragma once

#include "core/transfer/copier.h"

#include <QObject>
#include <atomic>

class QThread;

namespace gc::transfer {

// Runs a transfer on a worker thread of its own, so the window stays responsive; its
// signals arrive on the thread that owns the runner. Progress comes at most ten times a
// second.
class TransferRunner : public QObject {
    Q_OBJECT
  public:
    explicit TransferRunner(QObject* parent = nullptr);
    ~TransferRunner() override;

    void start(const TransferOptions& options);
    void cancel() { cancel_ = true; }
    bool running() const { return thread_ != nullptr; }
    // The last run's outcome, once `finished` was sent.
    const TransferResult& result() const { return result_; }

  signals:
    void logLine(const QString& line);
    void progress(int done, int total);
    void finished();

  private:
    void done();

    QThread* thread_ = nullptr;
    std::atomic_bool cancel_ = false;
    TransferResult result_;
};

} // namespace gc::transfer
