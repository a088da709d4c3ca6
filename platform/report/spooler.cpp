#include "platform/report/spooler.h"

#include <QPageSize>
#include <cups/cups.h>

namespace gc::report {

namespace {

// One destination as the spooler describes it; freed on leaving scope.
class Dest {
  public:
    explicit Dest(const QString& queue)
        : dest_(cupsGetNamedDest(CUPS_HTTP_DEFAULT,
                                 queue.isEmpty() ? nullptr : queue.toUtf8().constData(), nullptr)) {
    }
    ~Dest() {
        if (dest_)
            cupsFreeDests(1, dest_);
    }
    Dest(const Dest&) = delete;
    Dest& operator=(const Dest&) = delete;

    bool exists() const { return dest_ != nullptr; }
    QString name() const { return dest_ ? QString::fromUtf8(dest_->name) : QString(); }
    QString option(const char* key) const {
        const char* value =
            dest_ ? cupsGetOption(key, dest_->num_options, dest_->options) : nullptr;
        return value ? QString::fromUtf8(value) : QString();
    }

  private:
    cups_dest_t* dest_;
};

constexpr const char* kStopped = "5"; // IPP printer-state "stopped"

QString number(double mm) {
    return QString::number(mm, 'g', 6);
}

} // namespace

QString defaultQueue() {
    return Dest(QString()).name();
}

bool anyQueue() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    cupsFreeDests(count, dests);
    return count > 0;
}

QueueState queueState(const QString& queue) {
    QueueState state;
    if (queue.isEmpty())
        return state;
    const Dest dest(queue);
    state.exists = dest.exists();
    if (!state.exists)
        return state;
    state.accepting = dest.option("printer-is-accepting-jobs") != QLatin1String("false");
    state.paused = dest.option("printer-state") == QLatin1String(kStopped);
    state.message = dest.option("printer-state-message");
    return state;
}

QString whyNotReady(const QString& queue, const QueueState& state) {
    QString why;
    if (!state.exists)
        why = QStringLiteral("چاپگر «%1» نصب نیست");
    else if (!state.accepting)
        why = QStringLiteral("چاپگر «%1» کار چاپ نمی‌پذیرد");
    else if (state.paused)
        why = QStringLiteral("چاپگر «%1» متوقف شده است");
    else
        return {};
    why = why.arg(queue);
    if (state.exists && !state.message.isEmpty())
        why += QStringLiteral(" (%1)").arg(state.message);
    return why;
}

QString mediaName(const PageSetup& page) {
    const QPageSize size(page.paperMm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    if (size.id() != QPageSize::Custom)
        return size.key();
    return QStringLiteral("Custom.%1x%2mm")
        .arg(number(page.paperMm.width()), number(page.paperMm.height()));
}

Submission submitPdf(const QString& queue, const QString& pdfPath, const QString& title,
                     const PageSetup& page, int copies) {
    cups_option_t* options = nullptr;
    int count = 0;
    count = cupsAddOption("media", mediaName(page).toUtf8().constData(), count, &options);
    count = cupsAddOption("document-format", CUPS_FORMAT_PDF, count, &options);
    if (copies > 1)
        count = cupsAddOption("copies", QByteArray::number(copies).constData(), count, &options);
    Submission out;
    out.job =
        cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), pdfPath.toUtf8().constData(),
                       title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (out.job == 0)
        out.error = QString::fromUtf8(cupsLastErrorString());
    return out;
}

} // namespace gc::report
