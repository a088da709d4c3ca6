#pragma once

#include "register_harness.h"
#include "registers/arbab/arbab_prints.h"

#include <QImage>
#include <QList>

// The visitor prints over a fresh database of either engine: the printer writes numbered
// PDF files (or fails, or is missing), the no-printer question is answered by the test.
namespace gctest::arbab {

class RecordingPrinter : public gc::report::Printer {
  public:
    explicit RecordingPrinter(QString folder) : folder_(std::move(folder)) {}
    bool available = true;
    QString failure; // when set, every print fails with this error
    QStringList printed;

    bool isAvailable() const override { return available; }
    QString name() const override { return QStringLiteral("test printer"); }
    gc::report::RenderResult print(gc::report::Report& report) override;

  private:
    QString folder_;
};

class ChoosingPrintUi : public PdfPreview {
  public:
    using PdfPreview::PdfPreview;
    NoPrinterChoice choice = NoPrinterChoice::Cancel;
    QString pdfPath; // the answer to "save as"; empty cancels
    int asked = 0;
    NoPrinterChoice askNoPrinter(const QString&) override {
        ++asked;
        return choice;
    }
    QString choosePdfPath(const QString&) override { return pdfPath; }
};

struct Visit {
    QString name;
    QString maghsad;
    QString tabaghe;
    QString otagh;
    QString madrak;
    QString barcod;
    QString dat = QStringLiteral("1403/01/01");
    QString vorod = QStringLiteral("09:30");
    QString cart_no = QStringLiteral("0012345678");
};

class PrintsTest : public RegisterHarness {
  protected:
    void SetUp() override;

    int addVisit(const Visit& v);
    void addRoom(const QString& title, const QImage& sketch);
    QStringList barcodTable(); // "number:name" rows of the card table, by number

    ChoosingPrintUi ui{dir.filePath("preview.pdf")};
    RecordingPrinter* printer = nullptr;
    std::unique_ptr<gc::registers::VisitPrints> prints;
};

// One page of a PDF as a picture at `dpi`; empty when the tool fails.
QImage rasterise(const QString& pdf, int page, int dpi, const QString& png);
// What zbarimg reads in a picture file.
QString decodeBarcode(const QString& png);

struct Word {
    QString text; // the letters printed, in reading order
    QRectF box;   // points, from the page's top-left corner
};
// The words of one page with their positions, as pdftotext finds them.
QList<Word> words(const QString& pdf, int page);

} // namespace gctest::arbab
