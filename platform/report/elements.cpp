#include "platform/report/elements.h"

#include "platform/report/data_source.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

namespace gc::report {

QRectF deviceRect(const Element& element, const PaintContext& ctx) {
    const QRectF& g = element.geometryMm;
    return QRectF(ctx.bandOriginPx.x() + ctx.mmToPxX(g.x()),
                  ctx.bandOriginPx.y() + ctx.mmToPxY(g.y()), ctx.mmToPxX(g.width()),
                  ctx.mmToPxY(g.height()));
}

namespace {

// Lowers the font in half points until the text fits `width`, not below `floor`. False when
// even the floor is too wide.
bool shrinkToWidth(QFont& font, const QString& text, double width, double floor,
                   QPaintDevice* device) {
    while (QFontMetricsF(font, device).horizontalAdvance(text) > width) {
        if (font.pointSizeF() <= floor)
            return false;
        font.setPointSizeF(std::max(floor, font.pointSizeF() - 0.5));
    }
    return true;
}

// Lays the text out in the painter's direction and draws its glyphs. A print preview records
// text items and replays them without their direction, which would set a colon or a
// quotation mark of right-to-left text on its wrong side; glyphs replay where they were put.
void drawLaidOut(QPainter& painter, const QRectF& box, int flags, QString text) {
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, painter.font(), painter.device());
    QTextOption option(Qt::Alignment(flags) & (Qt::AlignHorizontal_Mask | Qt::AlignAbsolute));
    option.setTextDirection(painter.layoutDirection());
    option.setWrapMode((flags & Qt::TextWordWrap) ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    // Keeps the glyphs shaped for the lines: without it, the layout drops them at its end
    // and shapes the text once more for the glyph runs.
    layout.setCacheEnabled(true);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        line.setPosition({0, height});
        height += line.height();
    }
    layout.endLayout();
    double top = box.top();
    if (flags & Qt::AlignVCenter)
        top += (box.height() - height) / 2;
    else if (flags & Qt::AlignBottom)
        top += box.height() - height;
    for (const QGlyphRun& run : layout.glyphRuns())
        painter.drawGlyphRun({box.left(), top}, run);
}

} // namespace

void TextElement::paint(QPainter& painter, const PaintContext& ctx) {
    const QString s = text(ctx);
    if (s.isEmpty())
        return;
    QFont font = ctx.fonts ? ctx.fonts->font(style.font) : toFont(style.font, style.font.family);
    const QRectF box = deviceRect(*this, ctx);
    // Positions in layouts are as seen on paper: right means right, also in right-to-left text.
    int flags = int(style.alignment | Qt::AlignAbsolute);
    if (style.wordWrap ||
        (style.minPointSize > 0 &&
         !shrinkToWidth(font, s, box.width(), style.minPointSize, painter.device())))
        flags |= Qt::TextWordWrap;
    painter.setFont(font);
    painter.setPen(style.color);
    drawLaidOut(painter, box, flags, s);
}

QString DataField::text(const PaintContext& ctx) const {
    return ctx.row ? ctx.row->fieldText(field).trimmed() : QString();
}

QString Expression::text(const PaintContext& ctx) const {
    switch (kind) {
    case Kind::RowNumber:
        return ctx.rowNumber > 0 ? QString::number(ctx.rowNumber) : QString();
    case Kind::PageNumber:
        return QString::number(ctx.pageNumber);
    case Kind::Variable:
        return ctx.variables ? ctx.variables->value(variable) : QString();
    }
    return {};
}

namespace {

QPen penFor(const Stroke& stroke, const PaintContext& ctx) {
    if (!stroke.color.isValid())
        return Qt::NoPen;
    QPen pen(stroke.color);
    pen.setWidthF(std::max(1.0, ctx.mmToPxX(stroke.widthMm)));
    return pen;
}

} // namespace

void Line::paint(QPainter& painter, const PaintContext& ctx) {
    const QRectF r = deviceRect(*this, ctx);
    painter.setPen(penFor(stroke, ctx));
    if (geometryMm.height() == 0)
        painter.drawLine(r.topLeft(), r.topRight());
    else if (geometryMm.width() == 0)
        painter.drawLine(r.topLeft(), r.bottomLeft());
    else
        painter.drawLine(r.topLeft(), r.bottomRight());
}

void Shape::paint(QPainter& painter, const PaintContext& ctx) {
    const QRectF r = deviceRect(*this, ctx);
    painter.setPen(penFor(stroke, ctx));
    painter.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    if (kind == Kind::Ellipse)
        painter.drawEllipse(r);
    else
        painter.drawRect(r);
    painter.setBrush(Qt::NoBrush);
}

void Picture::paint(QPainter& painter, const PaintContext& ctx) {
    QImage picture = image;
    if (!field.isEmpty())
        picture = ctx.row ? QImage::fromData(ctx.row->fieldBlob(field)) : QImage();
    if (picture.isNull())
        return;
    QRectF target = deviceRect(*this, ctx);
    if (fit == Fit::KeepAspect) {
        const QSizeF size = QSizeF(picture.size()).scaled(target.size(), Qt::KeepAspectRatio);
        target = QRectF(target.center() - QPointF(size.width() / 2, size.height() / 2), size);
    }
    painter.drawImage(target, picture);
}

} // namespace gc::report
