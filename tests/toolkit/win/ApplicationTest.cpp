#include <gtest/gtest.h>

#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"

namespace {

TEST(DefaultErrorBox, ShowsTheMessageOfAnEscapedException) {
    tk::Application().SetTitle(L"Path Warden");
    qdtest::MessageBoxAnswerer answer(IDOK);
    tk::Application().HandleException(std::make_exception_ptr(tk::ERegistryException(L"Invalid data type for 'N1'")));
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), L"Invalid data type for 'N1'");
}

}  // namespace
