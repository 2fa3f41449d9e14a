// The options file and dialog on real INI files in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/Global.h"
#include "app/Options.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"

namespace {

class OptionsTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        qd::AppOptions = {};
    }
    void WriteFile(const std::string& content) {
        std::ofstream(file) << content;
    }
    std::string ReadFile() {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    qdtest::TempDir dir;
    std::filesystem::path file = dir / "options.ini";
};

TEST_F(OptionsTest, TheProgramsOptionsFileLiesBesideTheProgram) {
    const std::wstring exe = qd::ExePath();
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(qd::OptionsFilePath(), folder + L"\\options.ini");
    EXPECT_EQ(std::filesystem::path(qd::OptionsFilePath()).parent_path(), std::filesystem::path(exe).parent_path());
}

TEST_F(OptionsTest, AProgramFolderTheUserCannotWriteKeepsTheOptionsInTheUsersOwnFile) {
    const std::filesystem::path program = dir / "program", appData = dir / "appdata";
    std::filesystem::create_directories(program);
    const std::wstring beside = (program / "options.ini").wstring();
    const std::wstring own = (appData / "Quiverdir" / "options.ini").wstring();
    // A folder the user may write to: the file beside the program; the probe leaves nothing there.
    EXPECT_TRUE(qd::FolderWritable(program.wstring()));
    EXPECT_TRUE(std::filesystem::is_empty(program));
    EXPECT_EQ(qd::OptionsFileFor(program.wstring(), appData.wstring(), &qd::FolderWritable), beside);
    EXPECT_FALSE(std::filesystem::exists(appData));
    EXPECT_FALSE(qd::FolderWritable((dir / "missing").wstring()));

    // An install for all users: the shared file beside the program, the folder not writable.
    std::ofstream(program / "options.ini") << "[Options]\nAskDelete=0\n[FolderMenu]\nHotKey=Ctrl+F9\n";
    const auto notWritable = [](const std::wstring&) { return false; };
    const std::wstring chosen = qd::OptionsFileFor(program.wstring(), appData.wstring(), notWritable);
    ASSERT_EQ(chosen, own);
    // The user's own file starts as a copy of the shared one; the editor's options and the folder
    // menu's key are read from it and written to it, the shared file stays as it was.
    qd::ReadWriteOptionsFile(chosen, true);
    EXPECT_FALSE(qd::AppOptions.AskDelete);
    qd::AppOptions.ShowTips = true;
    qd::ReadWriteOptionsFile(chosen, false);
    tk::TIniFile(chosen).WriteString(L"FolderMenu", L"HotKey", L"Win+Alt+G");
    EXPECT_EQ(qd::OptionsFileFor(program.wstring(), appData.wstring(), notWritable), own);
    qd::AppOptions = {};
    qd::ReadWriteOptionsFile(own, true);
    EXPECT_TRUE(qd::AppOptions.ShowTips);
    EXPECT_EQ(tk::TIniFile(own).ReadString(L"FolderMenu", L"HotKey", L""), L"Win+Alt+G");
    EXPECT_EQ(tk::TIniFile(beside).ReadString(L"Options", L"ShowTips", L"absent"), L"absent");
    EXPECT_EQ(tk::TIniFile(beside).ReadString(L"FolderMenu", L"HotKey", L""), L"Ctrl+F9");
}

TEST_F(OptionsTest, MissingFileGivesTheDefaults) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    EXPECT_TRUE(qd::AppOptions.ExploreFolder);
    EXPECT_TRUE(qd::AppOptions.AskDelete);
    EXPECT_FALSE(qd::AppOptions.ShowTips);
    EXPECT_FALSE(std::filesystem::exists(file));  // reading creates nothing
}

TEST_F(OptionsTest, ValuesReadAsIntegersWithDefaultsForText) {
    struct Case { const char* value; bool expected; } cases[] = {
        {"0", false}, {"2", true}, {"0x0", false}, {"0X10", true}, {"-1", true}, {"yes", true}, {"", true}, {"0x", true},
    };
    for (const Case& c : cases) {
        WriteFile(std::string("[Options]\nAskDelete=") + c.value + "\nShowTips=" + c.value + "\n");
        qd::ReadWriteOptionsFile(file.wstring(), true);
        EXPECT_EQ(qd::AppOptions.AskDelete, c.expected) << "AskDelete=" << c.value;
        // ShowTips defaults to false, so text that is no number reads false there.
        const bool number = std::string(c.value) != "yes" && *c.value && std::string(c.value) != "0x";
        EXPECT_EQ(qd::AppOptions.ShowTips, number && c.expected) << "ShowTips=" << c.value;
    }
}

TEST_F(OptionsTest, DialogShowsTheRecordAndOkRewritesAllThreeKeys) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::TfrmOptions dialog(nullptr, file.wstring());
    EXPECT_TRUE(dialog.cbExploreFolder->Checked());
    EXPECT_TRUE(dialog.cbAskDelete->Checked());
    EXPECT_FALSE(dialog.cbShowTips->Checked());
    EXPECT_FALSE(dialog.cbShowTips->Visible());

    // A person unticks "ask before deleting" and presses OK.
    PostMessageW(dialog.cbAskDelete->Handle(), BM_CLICK, 0, 0);
    PostMessageW(dialog.bOK->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), tk::mrOk);
    EXPECT_FALSE(qd::AppOptions.AskDelete);
    EXPECT_EQ(ReadFile(), "[Options]\r\nExploreFolder=1\r\nAskDelete=0\r\nShowTips=0\r\n");

    qd::AppOptions = {};
    qd::ReadWriteOptionsFile(file.wstring(), true);
    EXPECT_TRUE(qd::AppOptions.ExploreFolder);
    EXPECT_FALSE(qd::AppOptions.AskDelete);
}

TEST_F(OptionsTest, KeyboardOrderFollowsTheTabOrder) {
    qd::TfrmOptions dialog(nullptr, file.wstring());
    auto children = [](HWND parent) {
        std::vector<HWND> list;
        for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) list.push_back(w);
        return list;
    };
    EXPECT_EQ(children(dialog.Handle()),
              (std::vector<HWND>{dialog.GroupBox1->Handle(), dialog.bOK->Handle(), dialog.bCancel->Handle()}));
    EXPECT_EQ(children(dialog.GroupBox1->Handle()),
              (std::vector<HWND>{dialog.cbExploreFolder->Handle(), dialog.cbAskDelete->Handle(),
                                 dialog.cbShowTips->Handle()}));
    // Tab from the first box reaches the second (the hidden third is skipped), then OK.
    EXPECT_EQ(GetNextDlgTabItem(dialog.Handle(), dialog.cbExploreFolder->Handle(), FALSE),
              dialog.cbAskDelete->Handle());
}

TEST_F(OptionsTest, CancelSavesNothing) {
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::TfrmOptions dialog(nullptr, file.wstring());
    PostMessageW(dialog.cbExploreFolder->Handle(), BM_CLICK, 0, 0);
    PostMessageW(dialog.bCancel->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), tk::mrCancel);
    EXPECT_TRUE(qd::AppOptions.ExploreFolder);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(OptionsTest, UnwritableFileShowsTheIniErrorAndKeepsTheOptionsInForce) {
    // A folder standing where the file should be: the profile functions cannot write it.
    std::filesystem::create_directory(file);
    qd::ReadWriteOptionsFile(file.wstring(), true);
    qd::AppOptions.ShowTips = true;  // the hidden box starts checked
    qd::TfrmOptions dialog(nullptr, file.wstring());
    // A person unticks both boxes and presses OK.
    PostMessageW(dialog.cbExploreFolder->Handle(), BM_CLICK, 0, 0);
    PostMessageW(dialog.cbAskDelete->Handle(), BM_CLICK, 0, 0);
    PostMessageW(dialog.bOK->Handle(), BM_CLICK, 0, 0);

    // The default error box comes up; a person reads it and presses OK, then Cancel.
    HWND cancel = dialog.bCancel->Handle();
    qdtest::MessageBoxAnswerer answer(IDOK, [cancel] { PostMessageW(cancel, BM_CLICK, 0, 0); });
    const int result = dialog.ShowModal();
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), L"Unable to write to " + file.wstring());
    EXPECT_EQ(result, tk::mrCancel);
    // Nothing was saved, so nothing took effect: deleting still asks first.
    EXPECT_TRUE(qd::AppOptions.AskDelete);
    EXPECT_TRUE(qd::AppOptions.ExploreFolder);
    EXPECT_TRUE(qd::AppOptions.ShowTips);
}

}  // namespace
