#include "platform/report/renderer.h"

#include "platform/report/data_source.h"
#include "platform/report/fonts.h"
#include "platform/report/report.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <utility>

namespace gc::report {

namespace {

// Walks the pages: keeps the pen position, starts pages with their headers and closes
// them with their footer.
class Pager {
  public:
    Pager(Report& report, QPagedPaintDevice& device, QPainter& painter)
        : report_(report), device_(device), painter_(painter) {
        ctx_.dpiX = device.logicalDpiX();
        ctx_.dpiY = device.logicalDpiY();
        ctx_.variables = &report.variables;
        ctx_.fonts = &fonts_;
        const QRectF content = report.page.contentMm();
        leftPx_ = ctx_.mmToPxX(content.left());
        widthPx_ = ctx_.mmToPxX(content.width());
        topPx_ = ctx_.mmToPxY(content.top());
        bottomPx_ = ctx_.mmToPxY(content.bottom());
        if (report.pageFooter.isPresent())
            bottomPx_ -= ctx_.mmToPxY(report.pageFooter.heightMm);
    }

    // Page headers and footers belong to no row.
    void startPage() {
        if (pages_ > 0)
            device_.newPage();
        ++pages_;
        ctx_.pageNumber = pages_;
        y_ = topPx_;
        const DataSource* row = std::exchange(ctx_.row, nullptr);
        put(report_.pageHeader);
        put(report_.columnHeader);
        ctx_.row = row;
        pageTopPx_ = y_;
    }

    void endPage() {
        if (!report_.pageFooter.isPresent())
            return;
        const DataSource* row = std::exchange(ctx_.row, nullptr);
        report_.pageFooter.paint(painter_, ctx_, QRectF(leftPx_, bottomPx_, widthPx_, 0));
        ctx_.row = row;
    }

    // Puts a band below the last one, first turning the page when it does not fit (a band
    // taller than an empty page is printed there anyway, cut at the page's end).
    void putFlowing(Band& band) {
        if (!band.isPresent())
            return;
        if (y_ + ctx_.mmToPxY(band.heightMm) > bottomPx_ + 0.5 && y_ > pageTopPx_) {
            endPage();
            startPage();
        }
        put(band);
    }

    PaintContext& ctx() { return ctx_; }
    int pages() const { return pages_; }

  private:
    void put(Band& band) {
        if (!band.isPresent())
            return;
        band.paint(painter_, ctx_, QRectF(leftPx_, y_, widthPx_, 0));
        y_ += ctx_.mmToPxY(band.heightMm);
    }

    Report& report_;
    QPagedPaintDevice& device_;
    QPainter& painter_;
    FontResolver fonts_;
    PaintContext ctx_;
    double leftPx_ = 0, widthPx_ = 0, topPx_ = 0, bottomPx_ = 0;
    double y_ = 0, pageTopPx_ = 0;
    int pages_ = 0;
};

// Puts the data source back on its row whatever happens to the report run.
class KeepPosition {
  public:
    explicit KeepPosition(DataSource* source)
        : source_(source), position_(source ? source->position() : -1) {}
    ~KeepPosition() {
        if (source_)
            source_->setPosition(position_);
    }
    KeepPosition(const KeepPosition&) = delete;
    KeepPosition& operator=(const KeepPosition&) = delete;

  private:
    DataSource* source_;
    int position_;
};

} // namespace

bool printsNothing(const Report& report) {
    return !report.printIfEmpty && (!report.data || report.data->recordCount() == 0);
}

bool applyPageSetup(const Report& report, QPagedPaintDevice& device) {
    return device.setPageLayout(report.page.pageLayout());
}

RenderResult render(Report& report, QPagedPaintDevice& device) {
    RenderResult result;
    if (printsNothing(report)) {
        result.error = QStringLiteral("گزارش هیچ ردیفی ندارد.");
        return result;
    }
    KeepPosition keep(report.data);
    QPainter painter;
    if (!painter.begin(&device)) {
        result.error = QStringLiteral("صفحه گزارش برای چاپ آماده نشد.");
        return result;
    }
    painter.setLayoutDirection(Qt::RightToLeft);
    painter.setRenderHint(QPainter::Antialiasing);

    Pager pager(report, device, painter);
    pager.startPage();
    if (report.data && report.detail.isPresent()) {
        PaintContext& ctx = pager.ctx();
        for (report.data->first(); !report.data->eof(); report.data->next()) {
            ctx.row = report.data;
            ctx.rowNumber = ++result.rows;
            pager.putFlowing(report.detail);
        }
        ctx.row = nullptr;
    }
    pager.putFlowing(report.summary);
    pager.endPage();
    result.pages = pager.pages();
    if (!painter.end())
        result.error = QStringLiteral("نوشتن گزارش کامل نشد.");
    return result;
}

} // namespace gc::report
