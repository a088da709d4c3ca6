#include "barcode/barcode.h"

#include "barcode/barcode_encode.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <limits>

namespace gc::barcode {

TBarcode::TBarcode(QString name) : name_(std::move(name)) {}

template <class T> void TBarcode::change(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    DoChange();
}

void TBarcode::setHeight(int value) {
    change(height_, value);
}
void TBarcode::setText(const QString& value) {
    change(text_, value);
}
void TBarcode::setTop(int value) {
    change(top_, value);
}
void TBarcode::setLeft(int value) {
    change(left_, value);
}
void TBarcode::setRatio(double value) {
    change(ratio_, value);
}
void TBarcode::setTyp(TBarcodeType value) {
    change(typ_, value);
}
void TBarcode::setChecksum(bool value) {
    change(checksum_, value);
}
void TBarcode::setAngle(double value) {
    change(angle_, value);
}
void TBarcode::setShowText(TBarcodeOption value) {
    change(showText_, value);
}

void TBarcode::setModul(int value) {
    if (value >= 1 && value <= 49)
        change(modul_, value);
}

void TBarcode::DoChange() {
    if (OnChange)
        OnChange(*this);
}

void TBarcode::Assign(const TBarcode& source) {
    if (&source == this)
        return;
    height_ = source.height_;
    text_ = source.text_;
    top_ = source.top_;
    left_ = source.left_;
    modul_ = source.modul_;
    ratio_ = source.ratio_;
    typ_ = source.typ_;
    checksum_ = source.checksum_;
    showText_ = source.showText_;
    angle_ = source.angle_;
    color_ = source.color_;
    colorBar_ = source.colorBar_;
    checkSumMethod_ = source.checkSumMethod_;
    OnChange = source.OnChange;
    DoChange();
}

void TBarcode::MakeModules() {
    setRatio(clampRatio(typ_, ratio_));
    modules_ = gc::barcode::MakeModules(typ_, modul_, ratio_);
}

std::string TBarcode::MakeData() {
    MakeModules();
    Encoded e = encode(typ_, text_, {checksum_, checkSumMethod_, name_});
    setText(e.text);
    return std::move(e.pattern);
}

int TBarcode::Width() {
    const long long w = patternWidth(MakeData(), modules_, name_);
    return int(std::min<long long>(w, std::numeric_limits<int>::max()));
}

void TBarcode::setWidth(int value) {
    const long long total = Width();
    if (total > 0)
        setModul(int(modul_ * static_cast<long long>(value) / total));
}

void TBarcode::fitWidth(int value) {
    const std::string pattern = MakeData();
    const auto widthAt = [&](int modul) {
        return patternWidth(pattern, gc::barcode::MakeModules(typ_, modul, ratio_), name_);
    };
    const long long atOne = widthAt(1);
    // The width grows at least linearly with the module: start from the estimate, step down.
    int best = int(std::clamp<long long>(atOne > 0 ? value / atOne : 1, 1, 49));
    while (best > 1 && widthAt(best) > value)
        --best;
    while (best < 49 && widthAt(best + 1) <= value)
        ++best;
    setModul(best);
}

int TBarcode::CanvasWidth() {
    return canvasSize(Width(), height_, angle_).width();
}

int TBarcode::CanvasHeight() {
    return canvasSize(Width(), height_, angle_).height();
}

void TBarcode::DrawBarcode(QPainter& painter) {
    const std::string pattern = MakeData();
    painter.save();
    drawPattern(painter, pattern, modules_, {left_, top_, height_, angle_, color_, colorBar_},
                name_);
    if (showText_ != bcoNone)
        drawText(painter);
    painter.restore();
}

// The caption is not rotated and stands over the symbol's corner, as stored layouts expect.
void TBarcode::drawText(QPainter& painter) const {
    QFont font = painter.font();
    font.setPointSizeF(5);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics metrics(font, painter.device());
    const auto line = [&](int y, const QString& s) {
        painter.drawText(QRect(left_, y, metrics.horizontalAdvance(s) + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop, s);
    };
    if (showText_ == bcoCode || showText_ == bcoBoth)
        line(top_, text_);
    if (showText_ == bcoTyp || showText_ == bcoBoth)
        line(top_ + roundHalfEven(2.5 * metrics.height()), typeName(typ_));
}

} // namespace gc::barcode
