#include "../report/pdf_tools.h"
#include "../support/clicking.h"
#include "arbab_print_fixture.h"
#include "platform/report/memory_source.h"
#include "platform/report/output.h"
#include "platform/report/report_dialogs.h"
#include "platform/report/spooler.h"
#include "registers/arbab/arbab_layouts.h"
#include "registers/arbab/barge_molaghat.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/khodro/khodro_list.h"
#include "registers/khodro/khodro_rep.h"
#include "registers/prs/prs.h"
#include "registers/prs/prs_chap.h"
#include "registers/prs/prs_list.h"
#include "registers/shared/list_print.h"
#include "registers/shared/register_context.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cups/cups.h>

// Prints through the private spooler the test run starts (tests/support/cupsserver.sh):
// direct prints and the preview's print button, checked in the PDFs the queues write.
using namespace gctest::arbab;
namespace pdf = gc::report::pdf;
using gc::report::PrintStatus;

namespace {

const QString kSlipQueue = QStringLiteral("gc-slip"); // 80 x 144 mm by default
const QString kA4Queue = QStringLiteral("gc-a4");

QString spooler() {
    const QString link = qEnvironmentVariable("GC_CUPS_DIR");
    return link.isEmpty() ? link : QFileInfo(link).canonicalFilePath();
}

// The spooler's administration, which a user's PATH may not reach.
int lpadmin(const QStringList& args) {
    const QString program =
        QStandardPaths::findExecutable("lpadmin", {"/usr/sbin", "/usr/bin", "/sbin"});
    return QProcess::execute(program, QStringList{"-h", spooler() + "/cups.sock"} + args);
}

QSet<QString> jobsOf(const QString& queue) {
    const QDir out(spooler() + QStringLiteral("/out/") + queue);
    const QStringList names = out.entryList({QStringLiteral("job-*.pdf")}, QDir::Files);
    QSet<QString> paths;
    for (const QString& name : names)
        paths.insert(out.filePath(name));
    return paths;
}

// The queue's first PDF that is not among `before`; empty when none comes within a minute.
QString nextJob(const QString& queue, const QSet<QString>& before) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        const QSet<QString> now = jobsOf(queue) - before;
        if (!now.isEmpty())
            return *now.begin();
        QTest::qWait(100);
    }
    return {};
}

// The page as the queue printed it, in whole points, either way round.
QSize pagePts(const QString& file) {
    const auto m = QRegularExpression(R"(([\d.]+) x ([\d.]+) pts)").match(pdf::pageSize(file));
    return m.hasMatch() ? QSize(qRound(m.captured(1).toDouble()), qRound(m.captured(2).toDouble()))
                        : QSize();
}

bool samePaper(QSize pts, double widthMm, double heightMm) {
    const auto near = [](int pt, double mm) { return std::abs(pt - mm * 72.0 / 25.4) <= 1.5; };
    return (near(pts.width(), widthMm) && near(pts.height(), heightMm)) ||
           (near(pts.width(), heightMm) && near(pts.height(), widthMm));
}

// The numbers and Latin words of a PDF's text: what survives the spooler's round trip through
// PostScript letter for letter.
QSet<QString> plainWords(const QString& file) {
    QSet<QString> words;
    const auto all = QRegularExpression(QStringLiteral("[0-9A-Za-z/:]+"))
                         .globalMatch(pdf::run("pdftotext", {file, "-"}));
    for (auto it = all; it.hasNext();)
        words.insert(it.next().captured());
    return words;
}

// Presses the preview's print button and the print dialog's, so that the report goes to the
// printer the dialog offers first, the default one. With no printer the dialog offers only a
// PDF file, and `file` is typed as its name.
void pressPrintInThePreview(const QString& file = {}) {
    QTimer::singleShot(0, [file] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        // Wide enough for the whole tool bar: the offscreen screen is narrow.
        preview->resize(1600, 1000);
        QApplication::processEvents();
        QToolButton* print = nullptr;
        for (QToolButton* button : preview->findChildren<QToolButton*>())
            if (button->defaultAction() && button->defaultAction()->text() == "Print")
                print = button;
        if (!print) {
            preview->reject();
            return;
        }
        QTimer::singleShot(0, [preview, file] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            auto* buttons = dialog ? dialog->findChild<QDialogButtonBox*>() : nullptr;
            auto* name = dialog ? dialog->findChild<QLineEdit*>("filename") : nullptr;
            if (!file.isEmpty() && name)
                name->setText(file);
            if (buttons && buttons->button(QDialogButtonBox::Ok)) {
                gctest::clickCentre(buttons->button(QDialogButtonBox::Ok));
                return;
            }
            if (dialog)
                dialog->reject();
            preview->reject();
        });
        gctest::clickCentre(print);
    });
}

class SpoolerPrints : public PrintsTest {
  protected:
    void SetUp() override {
        if (spooler().isEmpty())
            GTEST_SKIP() << "no print spooler started (GC_CUPS_DIR)";
        qputenv("CUPS_SERVER", (spooler() + QStringLiteral("/cups.sock")).toLocal8Bit());
        PrintsTest::SetUp();
        if (!dm)
            return;
        dialogsUi = std::make_unique<gc::registers::DialogsPrintUi>();
        realCtx = std::make_unique<gc::registers::RegisterContext>(gc::registers::RegisterContext{
            *dm, date, clock, [] { return gctest::kGuard; }, opener, *dialogsUi, dir.path()});
        system = std::make_unique<gc::registers::VisitPrints>(
            *realCtx, std::make_unique<gc::report::SystemPrinter>());
    }
    void TearDown() override { qunsetenv("LPDEST"); }

    static void useDefault(const QString& queue) { qputenv("LPDEST", queue.toLocal8Bit()); }

    // Runs `print`, which sends one job to `queue`, and returns the PDF the queue wrote.
    static QString printed(const QString& queue, const std::function<void()>& print) {
        const QSet<QString> before = jobsOf(queue);
        print();
        return nextJob(queue, before);
    }

    std::unique_ptr<gc::registers::DialogsPrintUi> dialogsUi;
    std::unique_ptr<gc::registers::RegisterContext> realCtx;
    std::unique_ptr<gc::registers::VisitPrints> system;
};

Visit longVisit() {
    return {QStringLiteral("رضا كريمي"),
            QStringLiteral("امور مالي"),
            "3",
            "312",
            QStringLiteral("كارت ملي"),
            "123456789012"};
}

} // namespace

// Whichever queue is the default, the slip, the cards and the sketch come out on their own
// paper with their numbers whole, and the twelve-digit barcode still reads from the paper.
TEST_P(SpoolerPrints, DirectPrintsKeepTheirPaperWhateverTheDefault) {
    const int id = addVisit(longVisit());
    for (const QString& queue : {kSlipQueue, kA4Queue}) {
        SCOPED_TRACE(queue.toStdString());
        useDefault(queue);
        const QString slip = printed(queue, [&] { EXPECT_TRUE(system->printSlip(id)); });
        ASSERT_FALSE(slip.isEmpty());
        EXPECT_TRUE(samePaper(pagePts(slip), 80.0, 144.0)) << pdf::pageSize(slip).toStdString();
        EXPECT_TRUE(plainWords(slip).contains("312"));
        const QString png = dir.filePath("spooled-slip.png");
        ASSERT_FALSE(rasterise(slip, 1, 203, png).isNull());
        EXPECT_EQ(decodeBarcode(png), "123456789012");

        dialogs.inputs.push_back("2");
        const QString cards = printed(queue, [&] { EXPECT_TRUE(system->printBlankCards()); });
        ASSERT_FALSE(cards.isEmpty());
        EXPECT_EQ(pdf::pageCount(cards), 2);
        EXPECT_TRUE(samePaper(pagePts(cards), 80.0, 144.0));
        const QStringList batch = barcodTable();
        ASSERT_EQ(batch.size(), 2);
        EXPECT_TRUE(plainWords(cards).contains(batch[1].section(':', 0, 0)));

        const QString sketch = printed(queue, [&] { EXPECT_TRUE(system->printSketch()); });
        EXPECT_TRUE(samePaper(pagePts(sketch), 79.9, 149.0));
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join('\n').toStdString();
}

// The preview's print button, with the print dialog accepted as it comes: every layout keeps
// its paper and everything the saved PDF shows, whatever the default queue's paper.
TEST_P(SpoolerPrints, ThePreviewsPrintButtonKeepsEachLayoutsPaper) {
    const int id = addVisit(longVisit());
    dm->ADOQ_arbabrojo.openSql({"Select * from arbabrojo where ID<>-1"});
    gc::registers::Tkhodro_ins vehicleEntry(*realCtx);
    gc::registers::Tkhodro_list vehicles(*realCtx, vehicleEntry);
    gc::registers::Tkhodro_rep vehicleReport(vehicles);
    gc::registers::Tprs personEntry(*realCtx);
    gc::registers::Tprs_list people(*realCtx, personEntry);
    gc::registers::Tprs_chap sheet(people);

    gc::report::MemorySource cardRows({QStringLiteral("barcod"), QStringLiteral("name")});
    cardRows.addRow({QStringLiteral("4521"), QStringLiteral("1")});
    struct Layout {
        const char* name;
        std::unique_ptr<gc::report::Report> report;
        QSizeF paperMm;
    };
    std::vector<Layout> layouts;
    auto cards =
        gc::registers::Tbarge_molaghat::Report1(gc::registers::Tbarge_molaghat::Content::BlankCard);
    cards->data = &cardRows;
    layouts.push_back({"cards", std::move(cards), {80.0, 144.0}});
    layouts.push_back({"sketch", gc::registers::Tkoroki_mash::Report1(), {79.9, 149.0}});
    layouts.push_back({"vehicle list", vehicleReport.Report1(), {297.0, 210.0}});
    layouts.push_back({"monthly sheet", sheet.QuickRep1(), {210.0, 297.0}});

    for (const QString& queue : {kSlipQueue, kA4Queue}) {
        SCOPED_TRACE(queue.toStdString());
        useDefault(queue);
        // The visitor windows' own previews: the slip, the list and the counts.
        const QList<std::pair<std::function<void()>, QSizeF>> windows = {
            {[&] { system->previewSlip(id); }, {80.0, 144.0}},
            {[&] { system->previewList(); }, {297.0, 210.0}},
            {[&] { system->previewCounts(false, false, "", ""); }, {148.0, 210.0}}};
        for (const auto& [preview, paper] : windows) {
            const QString out = printed(queue, [&] {
                pressPrintInThePreview();
                preview();
            });
            ASSERT_FALSE(out.isEmpty());
            EXPECT_TRUE(samePaper(pagePts(out), paper.width(), paper.height()))
                << pdf::pageSize(out).toStdString();
        }
        for (Layout& layout : layouts) {
            SCOPED_TRACE(layout.name);
            const QString reference = dir.filePath("reference.pdf");
            ASSERT_TRUE(gc::report::writePdf(*layout.report, reference).ok());
            gc::report::PrintOutcome outcome;
            const QString out = printed(queue, [&] {
                pressPrintInThePreview();
                outcome = gc::report::previewReport(*layout.report, nullptr);
            });
            EXPECT_EQ(outcome.status, PrintStatus::Sent);
            EXPECT_EQ(outcome.detail, queue);
            ASSERT_FALSE(out.isEmpty());
            EXPECT_TRUE(samePaper(pagePts(out), layout.paperMm.width(), layout.paperMm.height()))
                << pdf::pageSize(out).toStdString();
            EXPECT_EQ(pdf::pageCount(out), pdf::pageCount(reference));
            const QSet<QString> expected = plainWords(reference);
            EXPECT_EQ(plainWords(out) & expected, expected);
        }
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join('\n').toStdString();
}

// A queue that refuses jobs and a paused one: nothing is counted as printed, the guard hears
// which printer and why, the last card batch stays, and the spooler holds no job of ours.
TEST_P(SpoolerPrints, ARefusingOrPausedPrinterPrintsNothingAndSaysSo) {
    const int id = addVisit(longVisit());
    dialogs.inputs.push_back("2");
    useDefault(kA4Queue);
    ASSERT_TRUE(system->printBlankCards());
    const QStringList batch = barcodTable();

    const QList<std::pair<QString, QString>> queues = {
        {QStringLiteral("gc-reject"), QStringLiteral("کار چاپ نمی‌پذیرد")},
        {QStringLiteral("gc-paused"), QStringLiteral("متوقف شده است")}};
    for (const auto& [queue, why] : queues) {
        SCOPED_TRACE(queue.toStdString());
        useDefault(queue);
        const QSet<QString> before = jobsOf(queue);
        dialogs.messages.clear();
        EXPECT_FALSE(system->printSlip(id));
        dialogs.inputs.push_back("3");
        EXPECT_FALSE(system->printBlankCards());
        EXPECT_EQ(barcodTable(), batch);
        // From the preview the guard hears it too.
        pressPrintInThePreview();
        system->previewSlip(id);
        const QStringList said = dialogs.texts();
        ASSERT_EQ(said.size(), 3);
        EXPECT_TRUE(said[0].startsWith(QStringLiteral("برگه ملاقات چاپ نشد")));
        EXPECT_TRUE(said[1].startsWith(QStringLiteral("کارت هاي ملاقات چاپ نشد")));
        EXPECT_TRUE(said[2].contains(QStringLiteral("چاپ نشد")));
        for (const QString& text : said) {
            EXPECT_TRUE(text.contains(queue)) << text.toStdString();
            EXPECT_TRUE(text.contains(why)) << text.toStdString();
        }
        QTest::qWait(500);
        EXPECT_EQ(jobsOf(queue), before);
    }
    // The paused queue would have taken the job and held it; it was never sent.
    const QStringList server = {"-h", spooler() + "/cups.sock"};
    ASSERT_TRUE(pdf::run("lpstat", server + QStringList{"-p", "gc-paused"}).contains("disabled"));
    EXPECT_TRUE(pdf::run("lpstat", server + QStringList{"-o", "gc-paused"}).isEmpty());

    // Past the check, the spooler's own refusal is a failed print too.
    auto sketch = gc::registers::Tkoroki_mash::Report1();
    const QString file = dir.filePath("sketch.pdf");
    ASSERT_TRUE(gc::report::writePdf(*sketch, file).ok());
    const gc::report::Submission refused =
        gc::report::submitPdf("gc-reject", file, "refused", sketch->page, 1);
    EXPECT_EQ(refused.job, 0);
    EXPECT_FALSE(refused.error.isEmpty());
}

// The slip printer removed while the program runs: slips do not move to another printer.
TEST_P(SpoolerPrints, ARemovedSlipPrinterIsNamedNotReplaced) {
    const int id = addVisit(longVisit());
    const QString spare = QStringLiteral("gc-spare");
    const QString out = spooler() + "/out/" + spare;
    QDir().mkpath(out);
    // The spooler's backend may run as another user.
    QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                   QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                   QFileDevice::WriteOther | QFileDevice::ExeOther);
    ASSERT_EQ(lpadmin({"-p", spare, "-E", "-v", "pdfout:" + out, "-P", spooler() + "/a4.ppd"}), 0);
    useDefault(spare);
    ASSERT_FALSE(printed(spare, [&] { EXPECT_TRUE(system->printSlip(id)); }).isEmpty());
    ASSERT_EQ(lpadmin({"-x", spare}), 0);

    const QSet<QString> slipJobs = jobsOf(kSlipQueue), a4Jobs = jobsOf(kA4Queue);
    EXPECT_FALSE(system->printSlip(id));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.texts()[0].contains(QStringLiteral("چاپگر «gc-spare» نصب نیست")));
    QTest::qWait(500);
    EXPECT_EQ(jobsOf(kSlipQueue), slipJobs);
    EXPECT_EQ(jobsOf(kA4Queue), a4Jobs);
}

// With no printer at all the preview's print button saves a PDF, on the layout's paper and
// not on the print engine's default.
TEST_P(SpoolerPrints, WithNoPrinterThePreviewSavesThePdfOnTheLayoutsPaper) {
    cupsSetServer(dir.filePath("no-spooler.sock").toUtf8().constData());
    ASSERT_FALSE(gc::report::anyQueue());
    auto sketch = gc::registers::Tkoroki_mash::Report1();
    const QString saved = dir.filePath("saved.pdf");
    pressPrintInThePreview(saved);
    const gc::report::PrintOutcome outcome = gc::report::previewReport(*sketch, nullptr);
    cupsSetServer((spooler() + "/cups.sock").toUtf8().constData());
    EXPECT_EQ(outcome.status, PrintStatus::SavedPdf);
    EXPECT_EQ(outcome.detail, saved);
    EXPECT_TRUE(samePaper(pagePts(saved), 79.9, 149.0)) << pdf::pageSize(saved).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Engines, SpoolerPrints,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
