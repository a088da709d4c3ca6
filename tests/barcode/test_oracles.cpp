// Our symbols against independent tools: zbarimg decodes them, zint draws the same bars.
#include "barcode/report_barcode.h"
#include "barcode_test_util.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gc::barcode;

namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForFinished(60000)) {
        r.err = QStringLiteral("%1 did not finish: %2").arg(program, p.errorString());
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    EXPECT_FALSE(path.isEmpty()) << name << " is not installed (see .ci/packages.d/barcode.txt)";
    return path;
}

QString decode(const QString& png) {
    const ProcessResult r =
        run(tool("zbarimg"), {"-q", "--raw", "-Supca.enable", "-Supce.enable", "-Sean2.enable",
                              "-Sean5.enable", "-Sisbn10.disable", "-Sisbn13.disable", png});
    return r.out.trimmed();
}

const QString kRender = QStringLiteral(GC_BARCODE_RENDER);

class Oracles : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }
};

struct DecodeCase {
    const char* type;
    QString text;
    QString expected;
    QStringList extra;
};

} // namespace

TEST_F(Oracles, ZbarDecodesEverySymbologyItReadsAtFourAngles) {
    const QList<DecodeCase> cases{
        {"Code39", "GATE-42 $/+%", "GATE-42 $/+%", {}},
        {"Code39", "CODE39", "CODE39W", {"--checksum", "--ratio", "3"}},
        {"Code39 Extended", "ab+1", "+A+B/K1", {}}, // zbar reports the plain Code 39 form
        {"Code128A", "AB12#", "AB12#", {}},
        {"Code128B", "Hello, World", "Hello, World", {}},
        {"Code128C", "123456789", "0123456789", {}},
        {"EAN128A", "ABC123", "ABC123", {}},
        {"EAN128B", "lot 7", "lot 7", {}},
        {"EAN128C", "0112345678901231", "0112345678901231", {}},
        {"EAN128C", "1234", "012348", {"--checksum"}},
        {"Code93", "CODE 93", "CODE 93", {}},
        {"Code93 Extended", "Hi%a~", "Hi%a~", {}},
        {"Codebar", "40156", "A40156B", {}},
        {"EAN8", "1234567", "12345670", {"--checksum"}},
        {"EAN13", "590123412345", "5901234123457", {"--checksum"}},
        {"EAN13", "5901234123457", "5901234123457", {"--ratio", "3"}},
        {"UPC_A", "03600029145", "036000291452", {"--checksum"}},
        {"UPC_E0", "425261", "04252614", {"--checksum"}},
        {"UPC_E0", "1234565", "01234565", {}}, // without a check: the first six of seven
        {"UPC Supp2", "12", "12", {}},
        {"UPC Supp5", "51234", "51234", {}},
        {"2_5_interleaved", "12345", "012345", {"--ratio", "3"}},
    };
    int n = 0;
    for (const DecodeCase& c : cases) {
        for (int angle : {0, 90, 180, 270}) {
            const QString png = file(QStringLiteral("d%1.png").arg(n++));
            QStringList args{"--type", c.type,     "--text", c.text,    "--modul",
                             "2",      "--height", "80",     "--angle", QString::number(angle),
                             "--out",  png};
            const ProcessResult r = run(kRender, args + c.extra);
            SCOPED_TRACE(
                QStringLiteral("%1 %2 at %3").arg(c.type, c.text).arg(angle).toStdString());
            ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
            EXPECT_EQ(decode(png), c.expected);
        }
    }
}

namespace {

QString zintBits(const QString& hexRow) {
    QString bits;
    for (QChar h : hexRow) {
        if (h == u' ')
            continue;
        bits += QStringLiteral("%1").arg(
            QString::number(h.toLatin1() <= '9' ? h.toLatin1() - '0' : h.toLatin1() - 'A' + 10, 2),
            4, u'0');
    }
    return bits;
}

QString withoutTrailingGaps(QString bits) {
    while (bits.endsWith(u'0'))
        bits.chop(1);
    return bits;
}

struct DumpCase {
    QStringList zint;
    QStringList ours;
};

} // namespace

TEST_F(Oracles, ModuleSequencesMatchZint) {
    const QList<DumpCase> cases{
        {{"-b", "8", "-d", "GATE-42"}, {"--type", "Code39", "--text", "GATE-42"}},
        {{"-b", "9", "-d", "ab+1"}, {"--type", "Code39 Extended", "--text", "ab+1"}},
        {{"-b", "20", "--esc", "-d", "\\tAB"}, {"--type", "Code128A", "--text", "\tAB"}},
        {{"-b", "20", "-d", "Hello"}, {"--type", "Code128B", "--text", "Hello"}},
        {{"-b", "20", "-d", "123456"}, {"--type", "Code128C", "--text", "123456"}},
        {{"-b", "16", "-d", "[01]12345678901231"},
         {"--type", "EAN128C", "--text", "0112345678901231"}},
        {{"-b", "25", "-d", "HELLO"}, {"--type", "Code93", "--text", "HELLO"}},
        {{"-b", "25", "-d", "Hi%a~"}, {"--type", "Code93 Extended", "--text", "Hi%a~"}},
        {{"-b", "18", "-d", "A1234B"}, {"--type", "Codebar", "--text", "1234"}},
        {{"-b", "13", "-d", "1234567"}, {"--type", "EAN8", "--text", "1234567", "--checksum"}},
        {{"-b", "13", "-d", "590123412345"},
         {"--type", "EAN13", "--text", "590123412345", "--checksum"}},
        {{"-b", "34", "-d", "03600029145"},
         {"--type", "UPC_A", "--text", "03600029145", "--checksum"}},
        {{"-b", "37", "-d", "0425261"}, {"--type", "UPC_E0", "--text", "425261", "--checksum"}},
        {{"-b", "37", "-d", "1123456"}, {"--type", "UPC_E1", "--text", "123456", "--checksum"}},
        {{"-b", "13", "-d", "12"}, {"--type", "UPC Supp2", "--text", "12"}},
        {{"-b", "13", "-d", "51234"}, {"--type", "UPC Supp5", "--text", "51234"}},
        {{"-b", "3", "-d", "123456"},
         {"--type", "2_5_interleaved", "--text", "123456", "--ratio", "3"}},
        {{"-b", "7", "-d", "123"}, {"--type", "2_5_industrial", "--text", "123", "--ratio", "3"}},
        {{"-b", "2", "-d", "123"}, {"--type", "2_5_matrix", "--text", "123", "--ratio", "3"}},
        {{"-b", "47", "--vers=1", "-d", "1234"}, {"--type", "MSI", "--text", "1234"}},
    };
    for (const DumpCase& c : cases) {
        SCOPED_TRACE(c.ours.join(' ').toStdString());
        const ProcessResult z = run(tool("zint"), c.zint + QStringList{"--dump"});
        ASSERT_EQ(z.exitCode, 0) << z.err.toStdString();
        const ProcessResult ours = run(kRender, c.ours + QStringList{"--bits"});
        ASSERT_EQ(ours.exitCode, 0) << ours.err.toStdString();
        EXPECT_EQ(withoutTrailingGaps(ours.out.trimmed()),
                  withoutTrailingGaps(zintBits(z.out.split(u'\n').first())));
    }
}

// zint draws PostNet as two rows: the top holds the full bars, the bottom every bar.
TEST_F(Oracles, PostNetBarsMatchZint) {
    const ProcessResult z = run(tool("zint"), {"-b", "40", "-d", "12345", "--dump"});
    ASSERT_EQ(z.exitCode, 0) << z.err.toStdString();
    const QStringList rows = z.out.trimmed().split(u'\n');
    ASSERT_EQ(rows.size(), 2);
    // zint appends the correction digit (5) itself; our PostNet encodes the digits as given.
    const ProcessResult ours =
        run(kRender, {"--type", "PostNet", "--text", "123455", "--ratio", "1", "--bits"});
    ASSERT_EQ(ours.exitCode, 0) << ours.err.toStdString();
    const QString bits = ours.out.trimmed();
    QString full = bits;
    full.replace(u'2', u'0');
    QString any = bits;
    any.replace(u'2', u'1');
    EXPECT_EQ(full, withoutTrailingGaps(zintBits(rows[0])));
    EXPECT_EQ(any, withoutTrailingGaps(zintBits(rows[1])));
}

// The visit slip: Code 39 Extended of 1 to 12 digits in 25.4 x 13.2 mm at printer resolutions.
TEST_F(Oracles, SlipBarcodeDecodesAtPrinterResolutions) {
    for (int dpi : {203, 300, 600}) {
        for (int digits = 1; digits <= 12; ++digits) {
            const QString text = QStringLiteral("123456789012").left(digits);
            TReportBarcode e;
            e.geometryMm = QRectF(25.4, 47.9, 25.4, 13.2);
            e.setTyp(bcCode39Extended);
            e.setRatio(3.0);
            e.setCheckSumMethod(csmNone);
            e.setText(text);
            const int side = int(80.0 / 25.4 * dpi);
            QImage image(side, side, QImage::Format_RGB32);
            image.setDotsPerMeterX(int(dpi / 0.0254));
            image.setDotsPerMeterY(int(dpi / 0.0254));
            image.fill(Qt::white);
            gc::report::PaintContext ctx;
            ctx.dpiX = ctx.dpiY = dpi;
            {
                QPainter painter(&image);
                e.paint(painter, ctx);
            }
            const QString png = file(QStringLiteral("slip%1_%2.png").arg(dpi).arg(digits));
            ASSERT_TRUE(image.save(png));
            SCOPED_TRACE(QStringLiteral("%1 digits at %2 dpi").arg(digits).arg(dpi).toStdString());
            EXPECT_EQ(decode(png), text);
        }
    }
}

// The same element on a PDF page, rasterised by pdftoppm.
TEST_F(Oracles, SlipBarcodeOnPdfDecodes) {
    const QString pdf = file("slip.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QSizeF(80.0, 144.0), QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        TReportBarcode e;
        e.geometryMm = QRectF(25.4, 47.9, 25.4, 13.2);
        e.setTyp(bcCode39Extended);
        e.setRatio(3.0);
        e.setText("987654321");
        gc::report::PaintContext ctx;
        ctx.dpiX = ctx.dpiY = 600;
        ctx.bandOriginPx = QPointF(ctx.mmToPxX(3.0), ctx.mmToPxY(3.0));
        QPainter painter(&writer);
        e.paint(painter, ctx);
    }
    const ProcessResult r =
        run(tool("pdftoppm"), {"-r", "600", "-png", "-singlefile", pdf, file("slip")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(decode(file("slip.png")), "987654321");

    const ProcessResult viaTool = run(kRender, {"--type", "Code128B", "--text", "Gate 7", "--modul",
                                                "3", "--dpi", "300", "--out", file("tool.pdf")});
    ASSERT_EQ(viaTool.exitCode, 0) << viaTool.err.toStdString();
    const ProcessResult raster =
        run(tool("pdftoppm"), {"-r", "300", "-png", "-singlefile", file("tool.pdf"), file("tool")});
    ASSERT_EQ(raster.exitCode, 0) << raster.err.toStdString();
    EXPECT_EQ(decode(file("tool.png")), "Gate 7");
}

TEST_F(Oracles, RendererRefusesBadTextWithoutWritingAFile) {
    const ProcessResult r =
        run(kRender, {"--type", "Codebar", "--text", "1A2", "--out", file("bad.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Barcode:Codebar bad Data <1A2>")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(file("bad.png")));
    const ProcessResult pattern = run(kRender, {"--type", "Code39", "--text", "12", "--pattern"});
    EXPECT_EQ(pattern.exitCode, 0);
    EXPECT_TRUE(pattern.out.startsWith("5150606050"));
}
