// Opening a favourite's folder: which verb the shell is asked with, and that nothing but an
// existing folder given by its full path ever reaches it.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/Global.h"
#include "app/OpenFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Scoped.h"

namespace {

struct ShellCall {
    std::wstring Verb;
    std::wstring Folder;
};

class OpenFolderTest : public testing::Test {
protected:
    void SetUp() override { tk::Application().Initialize(); }

    // Runs OpenFolder with a shell that records what it is asked and answers shellTakes.
    bool Open(const std::wstring& path, bool explore, bool shellTakes = true) {
        return qd::OpenFolder(nullptr, path, explore, [&](HWND, const wchar_t* verb, const std::wstring& folder) {
            calls.push_back({verb, folder});
            return shellTakes;
        });
    }
    std::wstring MakeFile(const char* name, const char* content) {
        std::ofstream(dir / name) << content;
        return (dir / name).wstring();
    }

    qdtest::TempDir dir;
    std::vector<ShellCall> calls;
};

TEST_F(OpenFolderTest, AFolderGoesToTheShellWithTheVerbOfTheOption) {
    const std::wstring folder = dir.Path().wstring();
    for (const bool explore : {true, false}) {
        calls.clear();
        EXPECT_TRUE(Open(folder, explore));
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].Verb, explore ? L"explore" : L"open");
        EXPECT_EQ(calls[0].Folder, folder);
    }
}

TEST_F(OpenFolderTest, APathThatIsNoExistingFolderIsNamedAndNeverReachesTheShell) {
    // A marker the script would leave if it ever ran.
    const std::wstring marker = (dir / "ran.txt").wstring();
    const std::wstring script = MakeFile("run-me.bat", ("echo ran > \"" + (dir / "ran.txt").string() + "\"\r\n").c_str());
    const std::wstring program = MakeFile("tool.exe", "MZ");
    const std::wstring document = MakeFile("notes.txt", "text");
    const std::wstring relative = qd::kRelativePathNotOpened, noFolder = qd::kNotAnExistingFolder;
    const std::pair<std::wstring, std::wstring> cases[] = {
        {script, noFolder},   {program, noFolder},       {document, noFolder}, {(dir / "gone").wstring(), noFolder},
        {L"", noFolder},      {L"https://example.com/", relative},             {L"notepad.exe", relative},
    };
    for (const auto& [path, why] : cases) {
        for (const bool explore : {true, false}) {
            qdtest::MessageBoxAnswerer box(IDOK);
            EXPECT_FALSE(Open(path, explore)) << path;
            EXPECT_TRUE(box.Answered()) << path;
            EXPECT_EQ(box.Text(), path + L"\r\n" + why);
        }
    }
    EXPECT_TRUE(calls.empty());
    // And with the real shell behind it, the script is refused before anything could start it.
    {
        qdtest::MessageBoxAnswerer box(IDOK);
        EXPECT_FALSE(qd::OpenFolder(nullptr, script, false));
        EXPECT_TRUE(box.Answered());
    }
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(OpenFolderTest, ARelativePathIsRefusedEvenWhereItNamesAFolderHere) {
    // Rows of older lists: each names a folder read against this program's current folder (and
    // its current drive), which the folder menu, started from the Run key, does not share.
    std::filesystem::create_directories(dir / "docs");
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().wstring().c_str()));
    const tk::OnScopeExit back([&] { SetCurrentDirectoryW(before); });
    const std::wstring cases[] = {
        L".",
        L"docs",
        dir.Path().root_name().wstring() + L"docs",                        // "C:docs"
        L"\\" + (dir.Path().relative_path() / "docs").wstring(),         // "\\...\\docs", from the current drive's root
    };
    for (const std::wstring& path : cases) {
        ASSERT_TRUE(qd::DirectoryExists(path)) << path;
        qdtest::MessageBoxAnswerer box(IDOK);
        EXPECT_FALSE(Open(path, false)) << path;
        EXPECT_TRUE(box.Answered()) << path;
        EXPECT_EQ(box.Text(), path + L"\r\n" + qd::kRelativePathNotOpened);
    }
    EXPECT_TRUE(calls.empty());
}

TEST_F(OpenFolderTest, AShellThatRefusesTheFolderIsReportedNotPassedOffAsDone) {
    qdtest::MessageBoxAnswerer box(IDOK);
    EXPECT_FALSE(Open(dir.Path().wstring(), false, false));
    EXPECT_TRUE(box.Answered());
    EXPECT_EQ(box.Text(), dir.Path().wstring() + L"\r\n" + qd::kFolderNotOpened);
}

}  // namespace
