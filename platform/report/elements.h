#pragma once

#include "platform/report/fonts.h"
#include "platform/report/report_element.h"

#include <QColor>
#include <QImage>

namespace gc::report {

struct TextStyle {
    FontSpec font;
    Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter;
    QColor color = Qt::black;
    bool wordWrap = false;
    // Above 0: a text wider than its box is drawn smaller, down to this size in points,
    // and wrapped when even that is too wide (titles, which the layouts sized for a
    // narrower face than the one installed).
    double minPointSize = 0;
};

// Text in the element's box, right to left; what does not fit is cut at the box unless
// the style shrinks it to fit.
class TextElement : public Element {
  public:
    TextStyle style;
    void paint(QPainter& painter, const PaintContext& ctx) final;

  protected:
    virtual QString text(const PaintContext& ctx) const = 0;
};

// Fixed text, which the program may change before printing.
class Label : public TextElement {
  public:
    explicit Label(QString text = {}) : value(std::move(text)) {}
    QString value;

  protected:
    QString text(const PaintContext&) const override { return value; }
};

// A field of the current row, trimmed.
class DataField : public TextElement {
  public:
    explicit DataField(QString fieldName) : field(std::move(fieldName)) {}
    QString field;

  protected:
    QString text(const PaintContext& ctx) const override;
};

// A value the report computes: the running row number, the page number, or a named text
// the program sets on the report (such as the date label "dat").
class Expression : public TextElement {
  public:
    enum class Kind { RowNumber, PageNumber, Variable };
    explicit Expression(Kind k, QString variableName = {})
        : kind(k), variable(std::move(variableName)) {}
    Kind kind;
    QString variable;

  protected:
    QString text(const PaintContext& ctx) const override;
};

struct Stroke {
    QColor color = Qt::black;
    double widthMm = 0.25;
};

// A line across its box: horizontal when the box has no height, vertical when it has no
// width, otherwise from the top-left to the bottom-right corner.
class Line : public Element {
  public:
    Stroke stroke;
    void paint(QPainter& painter, const PaintContext& ctx) override;
};

// A rectangle or an ellipse (a circle in a square box); no fill when `fill` is invalid,
// no outline when the stroke colour is invalid.
class Shape : public Element {
  public:
    enum class Kind { Rectangle, Ellipse };
    explicit Shape(Kind k = Kind::Rectangle) : kind(k) {}
    Kind kind;
    Stroke stroke;
    QColor fill;
    void paint(QPainter& painter, const PaintContext& ctx) override;
};

// A fixed picture, or the picture held in a field of the current row.
class Picture : public Element {
  public:
    enum class Fit { Stretch, KeepAspect };
    QImage image;  // drawn when `field` is empty
    QString field; // a blob field holding an encoded picture
    Fit fit = Fit::Stretch;
    void paint(QPainter& painter, const PaintContext& ctx) override;
};

// The element's box on the device, in device pixels.
QRectF deviceRect(const Element& element, const PaintContext& ctx);

} // namespace gc::report
