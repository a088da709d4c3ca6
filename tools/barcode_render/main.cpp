// Renders a barcode to PNG or PDF, or prints its pattern, for people and for the tests.
#include "render.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

using namespace gc::barcode;

namespace {

int fail(const QString& message) {
    QTextStream(stderr) << message << '\n';
    return 1;
}

std::optional<TBarcodeOption> optionFromName(const QString& name) {
    const QStringList names{"none", "code", "typ", "both"};
    const auto i = names.indexOf(name.toLower());
    return i < 0 ? std::nullopt : std::optional(TBarcodeOption(i));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Renders a barcode."));
    p.addHelpOption();
    p.addOptions({
        {"type", "Symbology: caption, member name or ordinal.", "type", "Code39"},
        {"text", "Text to encode.", "text"},
        {"modul", "Narrow module in pixels (1-49).", "n", "1"},
        {"ratio", "Wide to narrow ratio.", "r", "2.0"},
        {"height", "Bar height in pixels.", "px", "60"},
        {"angle", "Rotation in degrees.", "deg", "0"},
        {"checksum", "Add the symbology's optional check character."},
        {"csm", "Check-sum method: none or mod10.", "m", "mod10"},
        {"show", "Caption: none, code, typ or both.", "s", "none"},
        {"dpi", "Resolution of the PNG or PDF.", "dpi", "300"},
        {"margin", "Quiet zone in pixels.", "px", "20"},
        {"out", "Output file, .png or .pdf.", "file"},
        {"pattern", "Print the pattern instead of rendering."},
        {"bits", "Print the module sequence (1 bar, 2 short bar, 0 gap) instead of rendering."},
    });
    p.process(app);

    const auto type = typeFromName(p.value("type"));
    if (!type)
        return fail(QStringLiteral("unknown type: %1").arg(p.value("type")));
    const auto show = optionFromName(p.value("show"));
    if (!show)
        return fail(QStringLiteral("unknown caption option: %1").arg(p.value("show")));
    const int dpi = p.value("dpi").toInt();
    if (dpi <= 0)
        return fail(QStringLiteral("bad dpi: %1").arg(p.value("dpi")));

    TBarcode barcode;
    barcode.setTyp(*type);
    barcode.setText(p.value("text"));
    barcode.setModul(p.value("modul").toInt());
    barcode.setRatio(p.value("ratio").toDouble());
    barcode.setHeight(p.value("height").toInt());
    barcode.setAngle(p.value("angle").toDouble());
    barcode.setChecksum(p.isSet("checksum"));
    barcode.setCheckSumMethod(p.value("csm") == QLatin1String("none") ? csmNone : csmModulo10);
    barcode.setShowText(*show);

    QTextStream out(stdout);
    try {
        if (p.isSet("pattern")) {
            out << QString::fromStdString(barcode.MakeData()) << '\n';
            return 0;
        }
        if (p.isSet("bits")) {
            out << render::moduleBits(barcode) << '\n';
            return 0;
        }
        const QString path = p.value("out");
        if (path.isEmpty())
            return fail(QStringLiteral("--out, --pattern or --bits is needed"));
        const int margin = p.value("margin").toInt();
        if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
            QString error;
            if (!render::toPdf(barcode, dpi, margin, path, &error))
                return fail(error);
            return 0;
        }
        if (!render::toImage(barcode, dpi, margin).save(path))
            return fail(QStringLiteral("cannot write %1").arg(path));
    } catch (const BarcodeError& e) {
        return fail(e.message());
    }
    return 0;
}
