#include "registers/arbab/arbabrojo_list.h"
#include "registers/asami/asami.h"
#include "registers/prs/prs_list.h"
#include "windows/window_fixture.h"

using FilterWidths = gctest::WindowTest;

// On the screen the lists fill (1366 x 768, maximized), each typed filter holds a card number
// or a name whole, and none stretches across the window.
TEST_P(FilterWidths, TypedFiltersHoldACardNumberAndDoNotStretch) {
    const auto misfits = [](QWidget* list, const QStringList& inputs) {
        list->resize(1366 - 30, 768 - 90);
        list->show();
        QStringList out;
        for (const QString& name : inputs) {
            const QWidget* w = list->findChild<QWidget*>("filters")->findChild<QWidget*>(name);
            const int least = w->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000"));
            if (w->width() < least || w->width() > 3 * least)
                out << name + QStringLiteral(" %1").arg(w->width());
        }
        list->hide();
        return out;
    };
    EXPECT_EQ(misfits(forms->prs_list.get(), {"cart_no", "nam", "elat", "cmt"}), QStringList());
    EXPECT_EQ(
        misfits(forms->asami.get(), {"surname", "card_no", "khodro_num", "mobile", "uniq_code2"}),
        QStringList());
    EXPECT_EQ(
        misfits(forms->arbabrojo_list.get(), {"cart_no", "name", "maghsad", "barcod", "nazar"}),
        QStringList());
}

INSTANTIATE_TEST_SUITE_P(Engines, FilterWidths, ::testing::Values(gctest::Backend::SQLite),
                         gctest::backendParamName);
