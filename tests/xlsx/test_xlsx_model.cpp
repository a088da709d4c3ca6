#include "platform/xlsx/cell_range.h"
#include "platform/xlsx/cell_store.h"
#include "platform/xlsx/line_style.h"

#include <gtest/gtest.h>

using namespace gc::xlsx;

TEST(XlsxRange, ParsesTheAddressesOfAnExport) {
    EXPECT_EQ(parseRange("A1:AA1"), (CellRange{1, 1, 1, 27}));
    EXPECT_EQ(parseRange("A1:M1"), (CellRange{1, 1, 1, 13}));
    EXPECT_EQ(parseRange("A2:M100001"), (CellRange{2, 1, 100001, 13}));
    EXPECT_EQ(parseRange("$b$2:m10"), (CellRange{2, 2, 10, 13}));
    EXPECT_EQ(parseRange("M5:A2"), (CellRange{2, 1, 5, 13}));
    EXPECT_EQ(parseRange("C3"), (CellRange{3, 3, 3, 3}));
    EXPECT_EQ(columnNumber("XFD"), 16384);
}

TEST(XlsxRange, RefusesWhatNamesNoRange) {
    // "A2:M" + (count - 1) for a list of one row.
    EXPECT_FALSE(parseRange("A2:M0"));
    EXPECT_FALSE(parseRange("A2:M-1"));
    EXPECT_FALSE(parseRange("A1:XFE1"));
    EXPECT_FALSE(parseRange("A1:B2:C3"));
    EXPECT_FALSE(parseRange(""));
    EXPECT_FALSE(parseRange("A1048577"));
}

TEST(XlsxLineStyle, MapsAutomationNumbersOntoFileBorders) {
    EXPECT_EQ(borderStyleFor(13), BorderStyle::SlantDashDot);
    EXPECT_EQ(borderStyleFor(1), BorderStyle::Thin);
    EXPECT_EQ(borderStyleFor(LineStyle::xlDouble), BorderStyle::Double);
    EXPECT_EQ(borderStyleFor(LineStyle::xlDash), BorderStyle::Dashed);
    EXPECT_EQ(borderStyleFor(LineStyle::xlLineStyleNone), BorderStyle::None);
    EXPECT_FALSE(borderStyleFor(2));
    EXPECT_FALSE(borderStyleFor(0));
}

TEST(XlsxCellStore, OrdersCellsAndKeepsTheLastWrite) {
    CellStore store;
    ASSERT_TRUE(store.set(2, 1, "b"));
    ASSERT_TRUE(store.set(1, 2, "first"));
    ASSERT_TRUE(store.set(1, 1, "a"));
    ASSERT_TRUE(store.set(1, 2, "second"));
    const auto& cells = store.ordered();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_STREQ(store.text(cells[0]), "a");
    EXPECT_STREQ(store.text(cells[1]), "second");
    EXPECT_STREQ(store.text(cells[2]), "b");
    EXPECT_EQ(store.lastRow(), 2);
}
