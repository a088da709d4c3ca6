#pragma once

#include "barcode/barcode_paint.h"
#include "barcode/barcode_pattern.h"
#include "barcode/barcode_types.h"

#include <QColor>
#include <QString>
#include <functional>
#include <string>

class QPainter;

namespace gc::barcode {

// A linear barcode: its settings, its encoding and its drawing on any QPainter device.
// Encoding failures raise BarcodeError; nothing is drawn then.
class TBarcode {
  public:
    explicit TBarcode(QString name = QStringLiteral("Barcode"));
    virtual ~TBarcode() = default;
    TBarcode(const TBarcode&) = delete;
    TBarcode& operator=(const TBarcode&) = delete;

    const QString& Name() const { return name_; }

    int Height() const { return height_; }
    void setHeight(int value);
    const QString& Text() const { return text_; }
    void setText(const QString& value);
    int Top() const { return top_; }
    void setTop(int value);
    int Left() const { return left_; }
    void setLeft(int value);
    int Modul() const { return modul_; }
    void setModul(int value); // 1 to 49; anything else is ignored
    double Ratio() const { return ratio_; }
    void setRatio(double value);
    TBarcodeType Typ() const { return typ_; }
    void setTyp(TBarcodeType value);
    bool Checksum() const { return checksum_; }
    void setChecksum(bool value);
    TCheckSumMethod CheckSumMethod() const { return checkSumMethod_; }
    void setCheckSumMethod(TCheckSumMethod value) { checkSumMethod_ = value; }
    double Angle() const { return angle_; }
    void setAngle(double value);
    TBarcodeOption ShowText() const { return showText_; }
    void setShowText(TBarcodeOption value);
    QColor Color() const { return color_; }
    void setColor(const QColor& value) { color_ = value; }
    QColor ColorBar() const { return colorBar_; }
    void setColorBar(const QColor& value) { colorBar_ = value; }

    std::function<void(TBarcode&)> OnChange;

    // Copies every setting and the change handler, then reports one change.
    void Assign(const TBarcode& source);

    // Unrotated width in pixels of the current symbol (encodes it).
    int Width();
    // Rescales Modul by value / Width (through the Modul rule).
    void setWidth(int value);
    // Sets Modul to the largest whole number of pixels for which the symbol is at most
    // `value` wide; 1 when even that is too wide.
    void fitWidth(int value);

    int CanvasWidth();
    int CanvasHeight();

    // Clamps Ratio, fills the module widths and encodes Text into the pattern language;
    // the text is written back where the symbology pads or completes it.
    std::string MakeData();
    const Modules& modules() const { return modules_; }

    void DrawBarcode(QPainter& painter);

  protected:
    virtual void DoChange();

  private:
    void MakeModules();
    void drawText(QPainter& painter) const;
    template <class T> void change(T& field, const T& value);

    QString name_;
    int height_ = 0;
    QString text_;
    int top_ = 0;
    int left_ = 0;
    int modul_ = 1;
    double ratio_ = 2.0;
    TBarcodeType typ_ = bcCodeEAN13;
    bool checksum_ = false;
    TCheckSumMethod checkSumMethod_ = csmModulo10;
    double angle_ = 0.0;
    TBarcodeOption showText_ = bcoNone;
    QColor color_ = QColor(0xFF, 0xFF, 0xFF);
    QColor colorBar_ = QColor(0, 0, 0);
    Modules modules_{1, 2, 3, 4};
};

} // namespace gc::barcode
