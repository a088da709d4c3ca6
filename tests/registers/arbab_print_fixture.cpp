#include "arbab_print_fixture.h"

#include "../report/pdf_tools.h"
#include "platform/db/sql_text.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSqlQuery>

namespace gctest::arbab {

using gc::db::quoted;
namespace pdf = gc::report::pdf;

gc::report::RenderResult RecordingPrinter::print(gc::report::Report& report) {
    if (!failure.isEmpty())
        return {0, 0, failure};
    const QString path = folder_ + QStringLiteral("/print-%1.pdf").arg(printed.size() + 1);
    const gc::report::RenderResult result = gc::report::writePdf(report, path);
    if (result.ok())
        printed << path;
    return result;
}

void PrintsTest::SetUp() {
    RegisterHarness::SetUp();
    if (!dm)
        return;
    ctx = std::make_unique<gc::registers::RegisterContext>(gc::registers::RegisterContext{
        *dm, date, clock, [] { return kGuard; }, opener, ui, dir.path()});
    auto owned = std::make_unique<RecordingPrinter>(dir.path());
    printer = owned.get();
    prints = std::make_unique<gc::registers::VisitPrints>(*ctx, std::move(owned));
}

int PrintsTest::addVisit(const Visit& v) {
    exec("insert into arbabrojo (name, maghsad, tabaghe, otagh, cart_no, madrak, dat, vorod, "
         "khoroj, gender, cmt, negahban, barcod, nazar) values (" +
         QStringList{quoted(v.name), quoted(v.maghsad), quoted(v.tabaghe), quoted(v.otagh),
                     quoted(v.cart_no), quoted(v.madrak), quoted(v.dat), quoted(v.vorod),
                     quoted("  :  "), quoted("مرد"), quoted(""), quoted(kGuard), quoted(v.barcod),
                     quoted("")}
             .join(", ") +
         ")");
    QSqlQuery q(dm->ADOConnection1.database());
    q.exec("select max(id) from arbabrojo");
    return q.next() ? q.value(0).toInt() : -1;
}

void PrintsTest::addRoom(const QString& title, const QImage& sketch) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    sketch.save(&buffer, "PNG");
    gc::db::Query& rooms = dm->ADOQ_otagh;
    rooms.openSql({"select * from otaghha"});
    rooms.append();
    rooms.fieldByName("title").setAsString(title);
    rooms.fieldByName("tabaghe").setAsString("9");
    rooms.fieldByName("otagh").setAsString("999");
    rooms.fieldByName("ext").setAsString(".png");
    rooms.fieldByName("koroki").setBytes(png);
    rooms.post();
}

QStringList PrintsTest::barcodTable() {
    QSqlQuery q(dm->ADOConnection1.database());
    q.exec("select barcod, name from barcod order by barcod");
    QStringList out;
    while (q.next())
        out << q.value(0).toString() + ":" + q.value(1).toString();
    return out;
}

QImage rasterise(const QString& file, int page, int dpi, const QString& png) {
    const QString prefix = png.chopped(4);
    pdf::run("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l",
                          QString::number(page), "-png", "-singlefile", file, prefix});
    return QImage(png);
}

QString decodeBarcode(const QString& png) {
    return pdf::run("zbarimg", {"-q", "--raw", png}).trimmed();
}

QList<Word> words(const QString& file, int page) {
    // The tool boxes each glyph of joined script on its own: glyphs of one font that touch
    // on one line form a word, read from the right.
    const QString html = pdf::run("pdftotext", {"-bbox", "-f", QString::number(page), "-l",
                                                QString::number(page), file, "-"});
    static const QRegularExpression box(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> glyphs;
    for (auto it = box.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        glyphs.push_back(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    std::sort(glyphs.begin(), glyphs.end(), [](const Word& a, const Word& b) {
        return a.box.top() != b.box.top() ? a.box.top() < b.box.top()
                                          : a.box.right() > b.box.right();
    });
    static const QRegularExpression marks(
        QStringLiteral("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"));
    QList<Word> out;
    for (const Word& g : glyphs) {
        const bool joins = !out.isEmpty() && std::abs(out.back().box.top() - g.box.top()) < 0.01 &&
                           out.back().box.left() - g.box.right() < 0.3;
        if (joins) {
            out.back().text += g.text;
            out.back().box |= g.box;
        } else {
            out.push_back(g);
        }
    }
    for (Word& w : out)
        w.text = w.text.normalized(QString::NormalizationForm_KC).remove(marks);
    return out;
}

} // namespace gctest::arbab
