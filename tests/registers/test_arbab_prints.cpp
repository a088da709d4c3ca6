#include "../report/pdf_tools.h"
#include "arbab_print_fixture.h"
#include "core/report_project.h"
#include "platform/db/query.h"
#include "registers/arbab/core/visit_print_sql.h"

#include <QRegularExpression>
#include <QSqlQuery>

using namespace gctest::arbab;
namespace pdf = gc::report::pdf;

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

QSizeF pageSizeMm(const QString& file) {
    const auto m = QRegularExpression(R"(([\d.]+) x ([\d.]+) pts)").match(pdf::pageSize(file));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) / kPtPerMm
                        : QSizeF();
}

void expectPageMm(const QString& file, double width, double height) {
    const QSizeF size = pageSizeMm(file);
    // The PDF stores the page in whole points.
    EXPECT_NEAR(size.width(), width, 0.2) << file.toStdString();
    EXPECT_NEAR(size.height(), height, 0.2) << file.toStdString();
}

const Word* find(const QList<Word>& all, const QString& text) {
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Word& w) { return w.text == text; });
    return it == all.end() ? nullptr : &*it;
}

// The words on the same line as `w`, right to left.
QStringList lineOf(const QList<Word>& all, const Word& w) {
    QList<Word> line;
    for (const Word& other : all)
        if (std::abs(other.box.center().y() - w.box.center().y()) < 3)
            line << other;
    std::sort(line.begin(), line.end(),
              [](const Word& a, const Word& b) { return a.box.left() > b.box.left(); });
    QStringList out;
    for (const Word& x : line)
        out << x.text;
    return out;
}

QImage redSketch() {
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    return red;
}

bool isRed(QColor c) {
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

const QString kName = QStringLiteral("رضا كريمي");
const QString kRoom = QStringLiteral("امور مالي");

class VisitSlip : public PrintsTest {
  protected:
    Visit visit() const { return {kName, kRoom, "3", "312", QStringLiteral("كارت ملي"), "4521"}; }
    QString messagesText() const { return dialogs.texts().join('\n'); }
};

} // namespace

// The stored floor and room of the visit print, not the room's current ones; the room's
// sketch fills its frame; the barcode reads back at a thermal printer's and an office
// printer's resolution.
TEST_P(VisitSlip, PrintsTheVisitWithItsRoomAndABarcodeTheScanReads) {
    addRoom(kRoom, redSketch());
    const int id = addVisit(visit());
    ASSERT_TRUE(prints->printSlip(id));
    ASSERT_EQ(printer->printed.size(), 1);
    const QString slip = printer->printed[0];
    EXPECT_EQ(pdf::pageCount(slip), 1);
    expectPageMm(slip, 80.0, 144.0);

    const QString text = pdf::text(slip);
    for (const QString& expected :
         {QStringLiteral("رضا"), QStringLiteral("كريمي"), kRoom, QStringLiteral("312"),
          QStringLiteral("كارت ملي"), QStringLiteral("1403/01/01"), QStringLiteral("09:30")})
        EXPECT_TRUE(text.contains(pdf::printedLetters(expected))) << expected.toStdString();
    EXPECT_FALSE(text.contains("999")) << "the room's current number, not the visit's";

    for (int dpi : {203, 300}) {
        const QString png = dir.filePath(QStringLiteral("slip-%1.png").arg(dpi));
        ASSERT_FALSE(rasterise(slip, 1, dpi, png).isNull());
        EXPECT_EQ(decodeBarcode(png), "4521") << dpi << " dpi";
    }
    const QImage mm = rasterise(slip, 1, 25, dir.filePath("slip-mm.png"));
    EXPECT_TRUE(isRed(mm.pixelColor(40, 100))) << "the room's sketch";
}

// A visitor registered without a card carries the visit's number; a destination that is
// no room title leaves the sketch frame empty.
TEST_P(VisitSlip, CardlessVisitCarriesItsNumberAndNoRoomNoSketch) {
    addRoom(QStringLiteral("حراست"), redSketch());
    Visit v = visit();
    v.barcod.clear();
    const int id = addVisit(v);
    exec(QStringLiteral("update arbabrojo set barcod='%1' where id=%1").arg(id));
    ASSERT_TRUE(prints->printSlip(id));
    const QString png = dir.filePath("cardless.png");
    rasterise(printer->printed.value(0), 1, 300, png);
    EXPECT_EQ(decodeBarcode(png), QString::number(id));
    const QImage mm = rasterise(printer->printed.value(0), 1, 25, dir.filePath("nosketch.png"));
    EXPECT_FALSE(isRed(mm.pixelColor(40, 100)));
    EXPECT_TRUE(pdf::text(printer->printed.value(0)).contains("312"));
}

// The saved PDF of an eleven- and a twelve-digit slip reads back at a thermal printer's, an
// office printer's and a fine printer's resolution, each time inside the barcode's 25.4 mm
// frame (25.4 mm from the band's left edge, on a page with 3 mm margins).
TEST_P(VisitSlip, LongBarcodesReadAndStayInTheirFrameAtEveryResolution) {
    for (const QString& code : {QStringLiteral("12345678901"), QStringLiteral("123456789012")}) {
        Visit v = visit();
        v.barcod = code;
        printer->printed.clear();
        ASSERT_TRUE(prints->printSlip(addVisit(v)));
        const QString slip = printer->printed.value(0);
        for (int dpi : {203, 300, 600}) {
            const QString png = dir.filePath(QStringLiteral("long-%1.png").arg(dpi));
            const QImage image = rasterise(slip, 1, dpi, png);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(decodeBarcode(png), code) << dpi << " dpi";
            const auto px = [dpi](double mm) { return mm / 25.4 * dpi; };
            int left = image.width(), right = -1;
            for (int y = int(px(53)); y < int(px(62)); ++y)
                for (int x = int(px(20)); x < int(px(60)); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            EXPECT_GE(left, std::floor(px(28.4))) << dpi << " dpi";
            EXPECT_LE(right + 1, std::ceil(px(53.8))) << dpi << " dpi";
        }
    }
}

TEST_P(VisitSlip, PersianIsShapedAndReadsRightToLeft) {
    const int id = addVisit(visit());
    ASSERT_TRUE(prints->printSlip(id));
    const QString slip = printer->printed.value(0);
    // Joined letters come out of the PDF as their contextual forms.
    const QString raw = pdf::run("pdftotext", {slip, "-"});
    const bool shaped = std::any_of(raw.begin(), raw.end(), [](QChar c) {
        return c.unicode() >= 0xFB50 && c.unicode() <= 0xFEFC;
    });
    EXPECT_TRUE(shaped);
    // Every word reads in its own order, and the words of a line stand right to left.
    const QList<Word> all = words(slip, 1);
    const Word* dateWord = find(all, QStringLiteral("تاريخ"));
    ASSERT_NE(dateWord, nullptr);
    EXPECT_EQ(lineOf(all, *dateWord).mid(0, 2),
              QStringList({QStringLiteral("تاريخ"), QStringLiteral("ملاقات:")}));
    const Word* title = find(all, QStringLiteral("برگه"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(lineOf(all, *title), QStringList({QStringLiteral("برگه"), QStringLiteral("ملاقات"),
                                                QStringLiteral("اداري")}));
}

// Whatever the outcome, the visit stays; only a print on paper or into a file counts.
TEST_P(VisitSlip, APrintThatDidNotHappenIsNeverReportedAsPrinted) {
    const int id = addVisit(visit());

    printer->failure = QStringLiteral("paper jam");
    EXPECT_FALSE(prints->printSlip(id));
    EXPECT_TRUE(messagesText().contains(QStringLiteral("برگه ملاقات چاپ نشد: paper jam")));

    printer->failure.clear();
    printer->available = false;
    ui.choice = ChoosingPrintUi::NoPrinterChoice::Cancel;
    EXPECT_FALSE(prints->printSlip(id));
    ui.choice = ChoosingPrintUi::NoPrinterChoice::Pdf; // then the save dialog is cancelled
    EXPECT_FALSE(prints->printSlip(id));
    ui.choice = ChoosingPrintUi::NoPrinterChoice::Preview;
    EXPECT_FALSE(prints->printSlip(id));
    EXPECT_EQ(pdf::pageCount(ui.path()), 1);
    EXPECT_EQ(ui.asked, 3);

    ui.choice = ChoosingPrintUi::NoPrinterChoice::Pdf;
    ui.pdfPath = dir.filePath("saved.pdf");
    EXPECT_TRUE(prints->printSlip(id));
    EXPECT_EQ(pdf::pageCount(ui.pdfPath), 1);

    dialogs.messages.clear();
    EXPECT_FALSE(prints->printSlip(id + 100));
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from arbabrojo")), "1");
    EXPECT_TRUE(printer->printed.isEmpty());
}

// The reprint previews; the receipt prints the slip with the room's sketch and says once
// per run that the stored project is kept but not run, leaving its bytes as they were.
TEST_P(VisitSlip, ReprintPreviewsAndReceiptPrintsTheBuiltInLayout) {
    addRoom(kRoom, redSketch());
    const int id = addVisit(visit());
    prints->previewSlip(id);
    EXPECT_TRUE(pdf::text(ui.path()).contains(kRoom));
    EXPECT_TRUE(printer->printed.isEmpty());

    ASSERT_TRUE(prints->printReceipt(id)); // no stored project: nothing to say
    EXPECT_TRUE(dialogs.messages.isEmpty());

    gc::StoreReportProject(*dm, "molaghat_file", QByteArray("RAV project bytes"));
    ASSERT_TRUE(prints->printReceipt(id));
    ASSERT_TRUE(prints->printReceipt(id));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("فايل ملاقات با کروکي")));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from molaghat_file")), "1");
    QSqlQuery stored(dm->ADOConnection1.database());
    ASSERT_TRUE(stored.exec("select pic from molaghat_file") && stored.next());
    EXPECT_EQ(stored.value(0).toByteArray(), QByteArray("RAV project bytes"));

    ASSERT_EQ(printer->printed.size(), 3);
    const QImage mm = rasterise(printer->printed[2], 1, 25, dir.filePath("receipt.png"));
    EXPECT_TRUE(isRed(mm.pixelColor(40, 100)));
}

// However many rows the slip query holds, the sketch is one page.
TEST_P(VisitSlip, SketchIsOnePageWhateverTheSlipQueryHolds) {
    for (int i = 0; i < 5; ++i)
        addVisit(visit());
    QStringList everyVisit = gc::registers::arbab::slipSelection(0);
    everyVisit.last() = " where arbabrojo.id<>-1";
    dm->ADOQ_resid.openSql(everyVisit);
    ASSERT_EQ(dm->ADOQ_resid.recordCount(), 5);
    ASSERT_TRUE(prints->printSketch());
    ASSERT_EQ(printer->printed.size(), 1);
    EXPECT_EQ(pdf::pageCount(printer->printed[0]), 1);
    expectPageMm(printer->printed[0], 79.9, 149.0);
}

INSTANTIATE_TEST_SUITE_P(Engines, VisitSlip,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);

namespace {

class VisitReports : public PrintsTest {
  protected:
    void addNamed(const QString& name, const QString& dat, const QString& vorod,
                  const QString& maghsad = QStringLiteral("حراست")) {
        Visit v{name, maghsad, "1", "10", QStringLiteral("كارت"), ""};
        v.dat = dat;
        v.vorod = vorod;
        addVisit(v);
    }

    // Row number and the word in `column` (a field's words), top to bottom.
    QStringList rows(const QList<Word>& all, const QStringList& names) {
        QList<const Word*> found;
        for (const QString& n : names)
            if (const Word* w = find(all, n))
                found << w;
        std::sort(found.begin(), found.end(),
                  [](const Word* a, const Word* b) { return a->box.top() < b->box.top(); });
        QStringList out;
        for (const Word* w : found) {
            const QStringList line = lineOf(all, *w);
            out << line.value(0) + " " + w->text;
        }
        return out;
    }
};

const QString kA = QStringLiteral("احمدي");
const QString kB = QStringLiteral("بهرامي");
const QString kC = QStringLiteral("جعفري");
const QString kD = QStringLiteral("داوري");

} // namespace

// Numbered from 1 in the grid's order: newest first as searched, then as sorted by a title
// click; the date label is today's date.
TEST_P(VisitReports, ListNumbersTheRowsInTheGridsOrder) {
    addNamed(kA, "1402/12/29", "11:00");
    addNamed(kB, "1403/01/02", "09:00");
    addNamed(kC, "1403/01/02", "10:00");
    addNamed(kD, "1403/01/01", "08:00");
    gc::db::Query& list = dm->ADOQ_arbabrojo;
    list.openSql({"Select * from arbabrojo where ID<>-1", " order by dat desc,vorod desc "});
    list.setRecNo(3);

    prints->previewList();
    QList<Word> all = words(ui.path(), 1);
    EXPECT_EQ(rows(all, {kA, kB, kC, kD}),
              QStringList({"1 " + kC, "2 " + kB, "3 " + kD, "4 " + kA}));
    EXPECT_TRUE(pdf::text(ui.path()).contains("1403/01/01"));
    expectPageMm(ui.path(), 297.0, 210.0);
    EXPECT_EQ(list.recNo(), 3) << "the grid keeps its row";

    list.setSort("name ASC");
    prints->previewList();
    all = words(ui.path(), 1);
    EXPECT_EQ(rows(all, {kA, kB, kC, kD}),
              QStringList({"1 " + kA, "2 " + kB, "3 " + kC, "4 " + kD}));
}

// Most visited first, counted within the dates only when the date filter is on.
TEST_P(VisitReports, CountsListTheMostVisitedFirstWithinTheDates) {
    const QString security = QStringLiteral("حراست");
    const QString finance = QStringLiteral("مالي");
    const QString tech = QStringLiteral("فني");
    addNamed(kA, "1403/01/01", "08:00", security);
    addNamed(kA, "1403/01/05", "08:00", security);
    addNamed(kB, "1403/01/05", "08:00", security);
    addNamed(kB, "1403/01/01", "08:00", finance);
    addNamed(kB, "1403/01/01", "09:00", finance);
    addNamed(kC, "1403/01/05", "08:00", tech);

    prints->previewCounts(false, false, "1403/01/01", "1403/01/01");
    expectPageMm(ui.path(), 148.0, 210.0);
    QList<Word> all = words(ui.path(), 1);
    // The count stands leftmost on its line.
    const auto counted = [&all](const QString& what) {
        const Word* w = find(all, what);
        return w ? lineOf(all, *w).join(' ') : QString();
    };
    EXPECT_EQ(counted(security), "1 " + security + " 3");
    EXPECT_EQ(counted(finance), "2 " + finance + " 2");
    EXPECT_EQ(counted(tech), "3 " + tech + " 1");

    prints->previewCounts(false, true, "1403/01/01", "1403/01/01");
    all = words(ui.path(), 1);
    EXPECT_EQ(counted(finance), "1 " + finance + " 2");
    EXPECT_EQ(counted(security), "2 " + security + " 1");
    EXPECT_EQ(find(all, tech), nullptr);

    prints->previewCounts(true, true, "1403/01/01", "1403/01/01");
    all = words(ui.path(), 1);
    EXPECT_EQ(counted(kB), "1 " + kB + " 2");
    EXPECT_EQ(counted(kA), "2 " + kA + " 1");
    EXPECT_EQ(find(all, kC), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Engines, VisitReports,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
