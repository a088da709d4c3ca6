#pragma once

#include "barcode/barcode.h"
#include "platform/report/report_element.h"

#include <functional>

namespace gc::barcode {

// A barcode on a report band: its position and size in millimetres become device pixels at
// print time, so the symbol is drawn at the printer's own resolution.
class TReportBarcodeBase : public gc::report::Element {
  public:
    TReportBarcodeBase();

    TBarcode& Barcode() { return barcode_; }
    const TBarcode& Barcode() const { return barcode_; }

    int BarcodeHeight() const { return barcode_.Height(); }
    void setBarcodeHeight(int value) { barcode_.setHeight(value); }
    int BarcodeWidth() { return barcode_.Width(); }
    void setBarcodeWidth(int value) { barcode_.setWidth(value); }
    int Modul() const { return barcode_.Modul(); }
    void setModul(int value) { barcode_.setModul(value); }
    double Ratio() const { return barcode_.Ratio(); }
    void setRatio(double value) { barcode_.setRatio(value); }
    TBarcodeType Typ() const { return barcode_.Typ(); }
    void setTyp(TBarcodeType value) { barcode_.setTyp(value); }
    bool Checksum() const { return barcode_.Checksum(); }
    void setChecksum(bool value) { barcode_.setChecksum(value); }
    TCheckSumMethod CheckSumMethod() const { return barcode_.CheckSumMethod(); }
    void setCheckSumMethod(TCheckSumMethod value) { barcode_.setCheckSumMethod(value); }
    double Angle() const { return barcode_.Angle(); }
    void setAngle(double value) { barcode_.setAngle(value); }
    TBarcodeOption ShowText() const { return barcode_.ShowText(); }
    void setShowText(TBarcodeOption value) { barcode_.setShowText(value); }
    QColor Color() const { return barcode_.Color(); }
    void setColor(const QColor& value) { barcode_.setColor(value); }
    QColor ColorBar() const { return barcode_.ColorBar(); }
    void setColorBar(const QColor& value) { barcode_.setColorBar(value); }

    std::function<void(TReportBarcodeBase&)> BeforePrint;
    std::function<void(TReportBarcodeBase&)> AfterPrint;

    // Prints the element: places and sizes the symbol in device pixels (on a vector page, in
    // a thermal printer's pixels) and draws it inside its frame unless the text is empty.
    // Encoding errors propagate (BarcodeError); nothing is drawn then.
    void paint(QPainter& painter, const gc::report::PaintContext& ctx) override;

  private:
    // The largest module of at least `narrowest` steps that fits `width` steps, at the
    // designed ratio when it fits at all.
    void fitInside(int width, int narrowest);

    TBarcode barcode_;
};

class TReportBarcode : public TReportBarcodeBase {
  public:
    const QString& Text() const { return Barcode().Text(); }
    void setText(const QString& value) { Barcode().setText(value); }
};

} // namespace gc::barcode
