#include "platform/report/report.h"

#include <QPainter>

namespace gc::report {

Element& Band::add(std::unique_ptr<Element> element) {
    elements_.push_back(std::move(element));
    return *elements_.back();
}

void Band::paint(QPainter& painter, PaintContext& ctx, const QRectF& areaPx) {
    ctx.bandOriginPx = areaPx.topLeft();
    if (background.isValid())
        painter.fillRect(QRectF(areaPx.topLeft(), QSizeF(areaPx.width(), ctx.mmToPxY(heightMm))),
                         background);
    for (const auto& element : elements_) {
        painter.save();
        element->paint(painter, ctx);
        painter.restore();
    }
}

} // namespace gc::report
