#include "core/transfer/runner.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QThread>

namespace gc::transfer {

namespace {

constexpr qint64 kProgressIntervalMs = 100;

// Passes the run's news on through the runner's signals, progress thinned out.
class SignalObserver : public TransferObserver {
  public:
    explicit SignalObserver(TransferRunner& runner) : runner_(runner) {}

    void logLine(const QString& line) override { emit runner_.logLine(line); }

    void progress(int done, int total) override {
        if (clock_.isValid() && clock_.elapsed() < kProgressIntervalMs)
            return;
        clock_.start();
        emit runner_.progress(done, total);
    }

  private:
    TransferRunner& runner_;
    QElapsedTimer clock_;
};

QString nextConnectionPrefix() {
    static QAtomicInt counter;
    return QString("transfer_%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

TransferRunner::TransferRunner(QObject* parent) : QObject(parent) {}

TransferRunner::~TransferRunner() {
    if (thread_) {
        cancel_ = true;
        thread_->wait();
        delete thread_;
    }
}

void TransferRunner::start(const TransferOptions& options) {
    if (thread_)
        return;
    cancel_ = false;
    result_ = {};
    const QString prefix = nextConnectionPrefix();
    thread_ = QThread::create([this, options, prefix] {
        SignalObserver observer(*this);
        result_ = runTransfer(options, observer, cancel_, prefix);
    });
    connect(thread_, &QThread::finished, this, &TransferRunner::done);
    thread_->start();
}

void TransferRunner::done() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    emit finished();
}

} // namespace gc::transfer
