// Opening a favourite's folder: which verb the shell is asked with, and that nothing but an
// existing folder ever reaches it.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/Global.h"
#include "app/OpenFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

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
    const std::wstring cases[] = {
        script, program, document, (dir / "gone").wstring(), L"https://example.com/", L"notepad.exe", L"",
    };
    for (const std::wstring& path : cases) {
        for (const bool explore : {true, false}) {
            qdtest::MessageBoxAnswerer box(IDOK);
            EXPECT_FALSE(Open(path, explore)) << path;
            EXPECT_TRUE(box.Answered()) << path;
            EXPECT_EQ(box.Text(), path + L"\r\n" + qd::kNotAnExistingFolder);
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

TEST_F(OpenFolderTest, AShellThatRefusesTheFolderIsReportedNotPassedOffAsDone) {
    qdtest::MessageBoxAnswerer box(IDOK);
    EXPECT_FALSE(Open(dir.Path().wstring(), false, false));
    EXPECT_TRUE(box.Answered());
    EXPECT_EQ(box.Text(), dir.Path().wstring() + L"\r\n" + qd::kFolderNotOpened);
}

}  // namespace
