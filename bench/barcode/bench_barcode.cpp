// Encoding and drawing one symbol onto a 600-dpi image; the target is under 2 ms for
// 80 characters, and the cost must grow linearly with the text.
#include "barcode/barcode.h"
#include "barcode/barcode_encode.h"
#include "bench/support/bench_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace gc::barcode;

namespace {

QString textFor(TBarcodeType type, int length) {
    QString s;
    const bool numeric = isNumericType(type);
    for (int i = 0; i < length; ++i)
        s += QChar(numeric ? u'0' + i % 10 : u'A' + i % 26);
    return s;
}

// The whole text went into the symbol: one element or more a character.
bool encodesWhole(TBarcodeType type, const QString& text) {
    const Encoded e = encode(type, text, {});
    return e.text.contains(text) && e.pattern.size() > std::size_t(text.size());
}

// Some bar was drawn across the middle of the image.
bool drewBars(const QImage& image) {
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, image.height() / 2)) < 128)
            return true;
    return false;
}

void EncodeAndDraw(benchmark::State& state, TBarcodeType type) {
    const int length = int(state.range(0));
    TBarcode barcode;
    barcode.setTyp(type);
    barcode.setText(textFor(type, length));
    barcode.setModul(3); // 0.127 mm at 600 dpi
    barcode.setRatio(3.0);
    barcode.setHeight(300);
    QImage image(barcode.CanvasWidth() + 40, barcode.CanvasHeight() + 40, QImage::Format_RGB32);
    image.setDotsPerMeterX(23622);
    image.setDotsPerMeterY(23622);
    if (!encodesWhole(type, barcode.Text())) {
        state.SkipWithError("the text does not encode whole");
        return;
    }
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        barcode.DrawBarcode(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    if (!drewBars(image))
        state.SkipWithError("no bars were drawn");
    state.SetComplexityN(length);
}

void EncodeOnly(benchmark::State& state, TBarcodeType type) {
    const QString text = textFor(type, int(state.range(0)));
    if (!encodesWhole(type, text)) {
        state.SkipWithError("the text does not encode whole");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(encode(type, text, {}));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK_CAPTURE(EncodeAndDraw, Code39Extended, bcCode39Extended)
    ->RangeMultiplier(2)
    ->Range(10, 80)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EncodeAndDraw, Code128B, bcCode128B)
    ->RangeMultiplier(2)
    ->Range(10, 80)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EncodeAndDraw, Code93Extended, bcCode93Extended)
    ->RangeMultiplier(2)
    ->Range(10, 80)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EncodeAndDraw, Interleaved2of5, bcCode_2_5_interleaved)
    ->RangeMultiplier(2)
    ->Range(10, 80)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EncodeOnly, Code39Extended, bcCode39Extended)
    ->RangeMultiplier(2)
    ->Range(10, 640)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(EncodeOnly, Code128B, bcCode128B)
    ->RangeMultiplier(2)
    ->Range(10, 640)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the caption need a GUI application
    return gcbench::runBenchmarks(argc, argv);
}
