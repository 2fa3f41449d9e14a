// The main window's caption names the release: its version is the project's major and minor number.
#include "resources/forms/MainFormDesc.h"

#include <gtest/gtest.h>

#include <string>

TEST(CaptionVersionTest, CaptionEndsWithTheProjectsMajorAndMinorVersion) {
    const std::wstring caption = qd::desc::kMainCaption;
    const std::wstring version = L" " + std::to_wstring(QD_PROJECT_VERSION_MAJOR) + L"." + std::to_wstring(QD_PROJECT_VERSION_MINOR);
    ASSERT_GE(caption.size(), version.size());
    EXPECT_EQ(caption.substr(caption.size() - version.size()), version) << "caption and project version disagree";
}
