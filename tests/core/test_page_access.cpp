#include "core/page_access.h"

#include <gtest/gtest.h>

using gc::OnlyTheUsersPageOpens;
using gc::PageAccessRow;

namespace {

PageAccessRow row(const char* page, bool darj, bool namayesh) {
    return {page, {darj, true, true, namayesh}};
}

} // namespace

TEST(OnlyTheUsersPageOpens, TheSetUpsStateAndWhatEndsIt) {
    const PageAccessRow users = row("karbaran", true, true);
    EXPECT_TRUE(OnlyTheUsersPageOpens({users}));
    // Saved once with every other page off: still nothing else to open.
    EXPECT_TRUE(
        OnlyTheUsersPageOpens({row("amval", true, false), users, row("zamaem", false, false)}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({row("karbaran", true, false)}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({users, row("khodro", false, true)}));
    // The report-project uploads need the insert flag alone.
    EXPECT_FALSE(OnlyTheUsersPageOpens({users, row("zamaem", true, false)}));
    // A page's first row counts, as the main window reads it.
    EXPECT_TRUE(
        OnlyTheUsersPageOpens({users, row("khodro", false, false), row("khodro", false, true)}));
    EXPECT_FALSE(OnlyTheUsersPageOpens({row("karbaran", false, false), users}));
}
