// How the list shows what the folder check found, read back from the window's pixels: a row whose
// folder is missing has grey text and a red cross before it, a row that could not be checked keeps
// black text and has an amber question mark, a row whose folder is there looks as it always did.
// The system's own question is asked: under Wine a network path fails at once ("the network
// resource type is not correct"), on Windows a server that does not exist does not answer in
// time; either way its row is unknown. Saves a look at the window (realinput::SaveScreenshot).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/FolderCommands.h"
#include "tests/app/FolderCheckSupport.h"
#include "tests/support/RealInput.h"

namespace {

class FolderMarksTest : public testing::Test, public foldertest::MainWindowWithRows {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        realinput::MouseAway();
    }
    RECT RowPart(int row, int part) {
        RECT r{part};
        SendMessageW(form->lvMain->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    int Count(int row, int part, COLORREF color) { return realinput::CountColor(form->lvMain->Handle(), RowPart(row, part), color); }
};

TEST_F(FolderMarksTest, MissingRowsAreGreyWithACrossAndUnknownRowsHaveAQuestionMark) {
    Start({{L"文档 here", Folder(L"docs")},
           {L"gone away", Gone(L"a")},
           {L"server", L"\\\\10.255.255.1\\share"},
           {L"照片 here", Folder(L"照片")},
           {L"also gone", Gone(L"b")}},
          true);
    SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(WaitForCheck());
    realinput::Settle(150);
    realinput::SaveScreenshot(form->Handle(), "folder-marks");

    const COLORREF black = RGB(0, 0, 0), grey = qd::kMissingFolderTextColor;
    const COLORREF red = RGB(0xD0, 0x20, 0x20), amber = RGB(0xE0, 0x90, 0x10);
    struct Expect {
        int row;
        bool greyText, cross, question;
    } rows[] = {
        {0, false, false, false},
        {1, true, true, false},
        {2, false, false, true},
        {3, false, false, false},
        {4, true, true, false},
    };
    for (const Expect& e : rows) {
        SCOPED_TRACE(e.row);
        // The texts: the alias and the path.
        EXPECT_EQ(Count(e.row, LVIR_BOUNDS, grey) > 0, e.greyText);
        EXPECT_EQ(Count(e.row, LVIR_BOUNDS, black) > 0, !e.greyText);
        // The mark, in the narrow column before the alias.
        EXPECT_EQ(Count(e.row, LVIR_ICON, red) > 0, e.cross);
        EXPECT_EQ(Count(e.row, LVIR_ICON, amber) > 0, e.question);
    }
}

}  // namespace
