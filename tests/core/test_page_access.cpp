#include "core/page_access.h"

#include <gtest/gtest.h>

using gc::OnlyTheUsersPageOpens;
using gc::PageAccess;
using gc::PageAccessRow;

namespace {

PageAccess flags(bool darj, bool namayesh) {
    PageAccess a;
    a.darj = darj;
    a.virayesh = true;
    a.hazf = true;
    a.namayesh = namayesh;
    return a;
}

const PageAccessRow kUsersPage{"karbaran", flags(true, true)};

} // namespace

TEST(OnlyTheUsersPageOpens, TheStateTheSetUpLeaves) {
    EXPECT_TRUE(OnlyTheUsersPageOpens({kUsersPage}));
    // Saved once with every other page off: still nothing else to open.
    EXPECT_TRUE(OnlyTheUsersPageOpens(
        {{"amval", flags(true, false)}, kUsersPage, {"zamaem", flags(false, false)}}));
}

TEST(OnlyTheUsersPageOpens, AnythingElseToOpenOrNoUsersPage) {
    EXPECT_FALSE(OnlyTheUsersPageOpens({}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({{"karbaran", flags(true, false)}}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({kUsersPage, {"khodro", flags(false, true)}}));
    // The report-project uploads need the insert flag alone.
    EXPECT_FALSE(OnlyTheUsersPageOpens({kUsersPage, {"zamaem", flags(true, false)}}));
}

TEST(OnlyTheUsersPageOpens, ThePagesFirstRowCountsAsTheMainWindowReadsIt) {
    EXPECT_TRUE(OnlyTheUsersPageOpens(
        {kUsersPage, {"khodro", flags(false, false)}, {"khodro", flags(false, true)}}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({{"karbaran", flags(false, false)}, kUsersPage}));
}
