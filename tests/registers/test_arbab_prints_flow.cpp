// The slip as the guard meets it: registered in the visitor window, printed at once, and
// read back by the list's exit scan.
#include "arbab_harness.h"
#include "arbab_print_fixture.h"
#include "registers/arbab/core/arbab_texts.h"
#include "support/typing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace gctest::arbab;
namespace ar = gc::registers::arbab;

namespace {

class SlipOnRegister : public Harness {
  protected:
    void SetUp() override {
        Harness::SetUp();
        if (!dm)
            return;
        auto owned = std::make_unique<RecordingPrinter>(dir.path());
        printer = owned.get();
        prints = std::make_unique<gc::registers::VisitPrints>(*ctx, std::move(owned));
        list->setPrintHooks(gc::registers::makeVisitPrintHooks(*prints));
        list->prepare();
    }
    void TearDown() override {
        Harness::TearDown();
        prints.reset();
    }
    // Registers a visitor through the window, answering Yes to the slip question.
    qint64 registerVisitor(const QString& name, const QString& card) {
        whileModal(list->insertAction(), entry.get(), [&] {
            QApplication::setActiveWindow(entry.get());
            entry->name()->lineEdit()->setFocus();
            gctest::typeKeys(entry->name()->lineEdit(), name);
            entry->barcod()->setFocus();
            gctest::typeKeys(entry->barcod(), card);
            click(entry->insButton());
        });
        return entry->lastVisitId();
    }
    QString printedCode(int index) {
        const QString png = dir.filePath(QStringLiteral("slip-%1.png").arg(index));
        rasterise(printer->printed.value(index), 1, 203, png);
        return decodeBarcode(png);
    }
    void scan(const QString& code) {
        list->CheckBox(7)->setChecked(true);
        list->barcod()->clear();
        gctest::typeKeys(list->barcod(), code);
        QTest::keyClick(list->barcod(), Qt::Key_Return);
    }

    RecordingPrinter* printer = nullptr;
    std::unique_ptr<gc::registers::VisitPrints> prints;
};

} // namespace

TEST_P(SlipOnRegister, TheSlipPrintedOnRegisterIsWhatTheExitScanReads) {
    const qint64 carded = registerVisitor(QStringLiteral("نوري"), "7315");
    const qint64 cardless = registerVisitor(QStringLiteral("كاظمي"), "");
    ASSERT_EQ(printer->printed.size(), 2);
    EXPECT_EQ(printedCode(0), "7315");
    EXPECT_EQ(printedCode(1), "0" + QString::number(cardless));
    EXPECT_EQ(dialogs.texts(), QStringList({ar::kPrintQuestion, ar::kPrintQuestion}));

    scan(printedCode(1));
    EXPECT_EQ(column(cardless, "khoroj"), "13:05");
    scan(printedCode(0));
    EXPECT_EQ(column(carded, "khoroj"), "13:05");

    // A printer that fails: the visit stays and both messages say the slip was not printed.
    dialogs.messages.clear();
    printer->failure = QStringLiteral("paper jam");
    const qint64 kept = registerVisitor(QStringLiteral("رحيمي"), "88");
    EXPECT_EQ(column(kept, "barcod"), "88");
    EXPECT_EQ(dialogs.texts(),
              QStringList({ar::kPrintQuestion, QStringLiteral("برگه ملاقات چاپ نشد: paper jam"),
                           ar::kSlipNotPrinted}));
}

INSTANTIATE_TEST_SUITE_P(Engines, SlipOnRegister,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
