// The shipped skin: it loads, and carries every record the program's components read, in shapes
// they can use.
#include <gtest/gtest.h>

#include <filesystem>

#include "skin/theme/FileTheme.h"

namespace {

TEST(SilverSkin, LoadsReadyWithEveryRecordTheComponentsRead) {
    const std::filesystem::path file = QD_SILVER_SKIN;
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "resources/Silver.ssk not generated";
    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(file);
    ASSERT_TRUE(theme.Ready());
    const TsuiFileThemeMgr& mgr = theme.Manager();

    for (int i = SKIN2_TRANSCOLOR; i <= SKIN2_TOOLBARDOWNCOLOR; ++i)
        EXPECT_NE(mgr.GetColor(static_cast<TsuiThemeColor>(i)), -1) << ThemeItemName(static_cast<TsuiThemeColor>(i));
    for (int i = SKIN2_TITLEBARICONPOSX; i <= SKIN2_BOTTOMREGIONMAXY; ++i)
        EXPECT_NE(mgr.GetInt(static_cast<TsuiThemeInt>(i)), -1) << ThemeItemName(static_cast<TsuiThemeInt>(i));
    for (int i = SKIN2_TITLEBAR1; i <= SKIN2_TITLEBUTTONS; ++i) {
        if (i == SKIN2_MINIMIZEDTITLE) continue;
        EXPECT_NE(mgr.GetBitmap(static_cast<TsuiThemeBitmap>(i)), nullptr) << ThemeItemName(static_cast<TsuiThemeBitmap>(i));
    }
    const tk::BmpImage* strip = mgr.GetBitmap(SKIN2_TITLEBUTTONS);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->width % 18, 0);
    // The title pieces share one height, and the bottom pieces too.
    const int titleHeight = mgr.GetBitmap(SKIN2_TITLEBAR1)->height;
    for (int i = SKIN2_TITLEBAR2; i <= SKIN2_TITLEBAR5; ++i)
        EXPECT_EQ(mgr.GetBitmap(static_cast<TsuiThemeBitmap>(i))->height, titleHeight);
    const int bottomHeight = mgr.GetBitmap(SKIN2_FORMBOTTOMBORDER1)->height;
    EXPECT_EQ(mgr.GetBitmap(SKIN2_FORMBOTTOMBORDER2)->height, bottomHeight);
    EXPECT_EQ(mgr.GetBitmap(SKIN2_FORMBOTTOMBORDER3)->height, bottomHeight);
    // Region limits lie inside the pictures they limit.
    EXPECT_LT(mgr.GetInt(SKIN2_TITLEBARREGIONMAXY), titleHeight);
    EXPECT_LT(mgr.GetInt(SKIN2_BOTTOMREGIONMAXY), bottomHeight);
}

}  // namespace
