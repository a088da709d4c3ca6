#include "capture/synthetic_kernel.h"
#include "register_harness.h"
#include "registers/amval/amval_ins.h"
#include "registers/anbar/anbar_ins.h"
#include "registers/arbab/arbabrojo.h"
#include "registers/khodro/khodro_ins.h"
#include "registers/loh/loh_ins.h"
#include "registers/parking/park_ins.h"
#include "registers/prs/prs.h"
#include "support/typing.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace gc::registers;

namespace {

const QString kCloseQuestion = QStringLiteral("اطلاعات ثبت نشده است. بسته شود؟");

// Every entry window, prepared for a new row and shown as its list shows it.
class EntryClose : public gctest::RegisterHarness {
  protected:
    void SetUp() override {
        RegisterHarness::SetUp();
        if (!dm)
            return;
        addPreset("علل خروج", "ماموريت");
        // Searched by their lists before either entry window opens.
        dm->ADOQ_anbar.setSql("select * from anbar");
        dm->ADOQ_parking.setSql("select * from parking");
        cameras = std::make_unique<gc::capture::SyntheticKernel>(
            std::vector<gc::capture::SyntheticCamera>{});
        windows.emplace_back(std::make_unique<Tins>(*ctx));
        windows.emplace_back(std::make_unique<Tanbar_ins>(*ctx));
        windows.emplace_back(std::make_unique<Tarbabrojo>(*ctx, cameras->table()));
        windows.emplace_back(std::make_unique<Tkhodro_ins>(*ctx));
        windows.emplace_back(std::make_unique<Tloh_ins>(*ctx));
        windows.emplace_back(std::make_unique<Tpark_ins>(*ctx));
        windows.emplace_back(std::make_unique<Tprs>(*ctx));
    }
    void TearDown() override { windows.clear(); }

    void open(RegisterEntry& w) {
        w.prepareNew();
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        dialogs.messages.clear();
    }
    // The text inputs the guard can type into.
    static QList<QLineEdit*> textInputs(RegisterEntry& w) {
        QList<QLineEdit*> out;
        for (auto* edit : w.findChildren<QLineEdit*>())
            if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly() &&
                edit->inputMask().isEmpty())
                out << edit;
        return out;
    }
    static QLineEdit* firstTextInput(RegisterEntry& w) { return textInputs(w).value(0); }
    static void escape(RegisterEntry& w) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w,
                        Qt::Key_Escape);
    }

    std::unique_ptr<gc::capture::SyntheticKernel> cameras;
    std::vector<std::unique_ptr<RegisterEntry>> windows;
};

} // namespace

TEST_P(EntryClose, EscapeClosesAnUntouchedWindowAndAsksBeforeLosingTyping) {
    for (auto& w : windows) {
        SCOPED_TRACE(w->objectName().toStdString());
        open(*w);
        escape(*w);
        EXPECT_FALSE(w->isVisible());
        EXPECT_TRUE(dialogs.messages.isEmpty());

        open(*w);
        QLineEdit* edit = firstTextInput(*w);
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        gctest::typeKeys(edit, "7");
        const QString typed = edit->text();
        dialogs.answers = {gc::ui::No};
        escape(*w);
        ASSERT_EQ(dialogs.texts(), QStringList{kCloseQuestion});
        EXPECT_EQ(dialogs.messages[0].buttons, gc::ui::Yes | gc::ui::No);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(edit->text(), typed);

        // The title-bar close asks the same; Yes closes.
        dialogs.answers = {gc::ui::Yes};
        w->close();
        EXPECT_EQ(dialogs.texts(), (QStringList{kCloseQuestion, kCloseQuestion}));
        EXPECT_FALSE(w->isVisible());
    }
}

// A window stays open after a new row is saved: what the save left, the program's own
// emptying and presetting for the next row included, is no unsaved typing.
TEST_P(EntryClose, ASavedRowIsNoUnsavedTypingButWhatIsTypedAfterIt) {
    for (auto& w : windows) {
        SCOPED_TRACE(w->objectName().toStdString());
        for (const bool typeAfterSave : {false, true}) {
            open(*w);
            QLineEdit* edit = firstTextInput(*w);
            ASSERT_NE(edit, nullptr);
            for (QLineEdit* each : textInputs(*w)) {
                // A visitor's card number is checked as a national code when left.
                if (each->objectName() == "cart_no")
                    continue;
                each->setFocus();
                gctest::typeKeys(each, "7");
            }
            QTest::mouseClick(w->insButton(), Qt::LeftButton);
            for (const auto& shown : dialogs.messages)
                EXPECT_NE(shown.icon, gc::ui::MsgIcon::Error) << shown.text.toStdString();
            ASSERT_TRUE(w->isVisible());
            dialogs.messages.clear();
            if (typeAfterSave) {
                edit->setFocus();
                gctest::typeKeys(edit, "8");
                dialogs.answers = {gc::ui::No};
                escape(*w);
                EXPECT_EQ(dialogs.texts(), QStringList{kCloseQuestion});
                EXPECT_TRUE(w->isVisible());
                dialogs.answers = {gc::ui::Yes};
            }
            escape(*w);
            EXPECT_FALSE(w->isVisible());
            EXPECT_EQ(dialogs.texts().size(), typeAfterSave ? 2 : 0);
        }
    }
}

TEST_P(EntryClose, EscapeInAnOpenDropDownClosesOnlyTheList) {
    for (auto& w : windows) {
        SCOPED_TRACE(w->objectName().toStdString());
        QComboBox* box = nullptr;
        open(*w);
        for (auto* b : w->findChildren<QComboBox*>())
            if (b->isVisible() && b->isEnabled() && b->count() > 0)
                box = b;
        if (!box)
            continue;
        box->setFocus();
        box->showPopup();
        ASSERT_NE(QApplication::activePopupWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(dialogs.messages.isEmpty());
        escape(*w);
        EXPECT_FALSE(w->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, EntryClose,
                         ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),
                         gctest::engineName);
