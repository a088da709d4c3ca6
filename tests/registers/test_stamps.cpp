#include "capture/capture_graph.h"
#include "register_harness.h"
#include "registers/amval/amval_ins.h"
#include "registers/anbar/anbar_ins.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/loh/loh_ins.h"
#include "registers/parking/park_ins.h"
#include "registers/prs/prs.h"
#include "registers/shared/mask_inputs.h"

#include <QPushButton>

using namespace gctest;
using gc::registers::MaskEdit;
using gc::registers::RegisterEntry;

namespace {

class Stamps : public RegisterHarness {};

// Every entry window refuses a partly typed date or time in each of its masks, naming the field
// by the caption the window shows beside it, and writes nothing.
TEST_P(Stamps, EveryEntryWindowNamesTheFieldByItsCaption) {
    std::vector<std::unique_ptr<RegisterEntry>> windows;
    windows.push_back(std::make_unique<gc::registers::Tins>(*ctx));
    windows.push_back(std::make_unique<gc::registers::Tanbar_ins>(*ctx));
    windows.push_back(
        std::make_unique<gc::registers::Tarbabrojo>(*ctx, gc::capture::defaultKernel()));
    windows.push_back(std::make_unique<gc::registers::Tkhodro_ins>(*ctx));
    windows.push_back(std::make_unique<gc::registers::Tloh_ins>(*ctx));
    windows.push_back(std::make_unique<gc::registers::Tpark_ins>(*ctx));
    windows.push_back(std::make_unique<gc::registers::Tprs>(*ctx));
    int masks = 0;
    for (const auto& w : windows) {
        for (MaskEdit* mask : w->findChildren<MaskEdit*>()) {
            w->prepareNew();
            mask->setText(mask->kind() == MaskEdit::Kind::Date ? "1403" : "7");
            dialogs.messages.clear();
            w->insButton()->click();
            ASSERT_EQ(dialogs.messages.size(), 1) << w->objectName().toStdString();
            const QString text = dialogs.messages[0].text;
            EXPECT_TRUE(text.startsWith("«")) << text.toStdString();
            EXPECT_FALSE(text.contains("«" + mask->objectName() + "»"))
                << w->objectName().toStdString() << " " << mask->objectName().toStdString();
            ++masks;
        }
    }
    EXPECT_GE(masks, 16);
    for (const char* table : {"amval", "anbar", "arbabrojo", "khodro", "loh", "parking", "prs"})
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from ") + table), "0") << table;
}

INSTANTIATE_TEST_SUITE_P(Engines, Stamps, ::testing::Values(Backend::SQLite), engineName);

} // namespace
