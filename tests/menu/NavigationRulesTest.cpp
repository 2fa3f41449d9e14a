// The rules of taking the user to a folder: which kind of window is in front, the text typed into
// a file dialog, and the checks on what is read out of other programs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "menu/NavigationRules.h"

namespace {

using qd::menu::FrontKind;
using qd::menu::WindowFacts;

TEST(NavigationRulesTest, TheKindOfTheWindowInFrontComesFromItsClassAndControls) {
    struct Case {
        const char* what;
        WindowFacts facts;
        FrontKind kind;
    };
    // A dialog of the dialog class with a name field that lists files, with the other facts given.
    auto dialog = [](bool lookIn, bool types) {
        return WindowFacts{.className = L"#32770", .nameField = true, .lookInList = lookIn, .fileTypesShown = types,
                           .filesListed = true};
    };
    auto with = [](WindowFacts facts, auto change) {
        change(facts);
        return facts;
    };
    const Case cases[] = {
        {"Explorer-style dialog", dialog(true, true), FrontKind::FileDialog},
        {"Explorer-style dialog, file types hidden", dialog(true, false), FrontKind::FileDialog},
        {"newer dialog with file types", dialog(false, true), FrontKind::FileDialog},
        // May pick folders: OK on a folder path would choose it and close the dialog.
        {"newer dialog without file types", dialog(false, false), FrontKind::UncertainDialog},
        {"dialog under a box of its own", with(dialog(true, true), [](auto& f) { f.enabled = false; }),
         FrontKind::Other},
        {"message box", {.className = L"#32770"}, FrontKind::Other},
        // Another program's dialog with the same control numbers, listing no files: a log-in box,
        // a form. Neither its folder is asked for nor its OK pressed.
        {"dialog with the numbers that lists no files", with(dialog(true, true), [](auto& f) { f.filesListed = false; }),
         FrontKind::Other},
        {"dialog with the numbers, no files, no types", with(dialog(false, false), [](auto& f) { f.filesListed = false; }),
         FrontKind::Other},
        {"a password field in that place", with(dialog(true, true), [](auto& f) { f.passwordField = true; }),
         FrontKind::Other},
        {"a password field, newer dialog", with(dialog(false, false), [](auto& f) { f.passwordField = true; }),
         FrontKind::Other},
        {"the menu's own window", with(dialog(true, true), [](auto& f) { f.askingThread = true; }), FrontKind::Other},
        {"a program's window with a field of that number",
         with(dialog(true, true), [](auto& f) { f.className = L"Notepad"; }), FrontKind::Other},
        {"Explorer", {.className = L"CabinetWClass"}, FrontKind::ExplorerWindow},
        {"Explorer (explore verb, older systems)", {.className = L"ExploreWClass"}, FrontKind::ExplorerWindow},
        {"Wine's Explorer", {.className = L"ExplorerWClass"}, FrontKind::ExplorerWindow},
        {"browse-for-folder dialog", {.className = L"#32770", .folderTree = true}, FrontKind::FolderTree},
        {"browse-for-folder dialog under a box", {.className = L"#32770", .enabled = false, .folderTree = true},
         FrontKind::Other},
        // A file dialog with a navigation tree stays a file dialog: never sent the tree's message.
        {"newer dialog with a folder tree", with(dialog(false, true), [](auto& f) { f.folderTree = true; }),
         FrontKind::FileDialog},
        {"a tree that lists files", {.className = L"#32770", .filesListed = true, .folderTree = true}, FrontKind::Other},
        {"a tree with a name field", {.className = L"#32770", .nameField = true, .folderTree = true}, FrontKind::Other},
        {"a program's window with such a tree", {.className = L"Settings", .folderTree = true}, FrontKind::Other},
        {"the menu's own tree", {.className = L"#32770", .askingThread = true, .folderTree = true}, FrontKind::Other},
        {"console", {.className = L"ConsoleWindowClass"}, FrontKind::Console},
        {"Wine's console", {.className = L"WineConsoleClass"}, FrontKind::Console},
        {"desktop", {.className = L"Progman"}, FrontKind::Other},
        {"desktop behind the icons", {.className = L"WorkerW"}, FrontKind::Other},
        {"the desktop window", {.className = L"#32769"}, FrontKind::Other},
        {"nothing", {}, FrontKind::Other},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::menu::KindOf(c.facts), c.kind) << c.what;
}

TEST(NavigationRulesTest, OnlyAnAbsoluteFolderPathIsTypedIntoADialogAndItEndsInOneBackslash) {
    struct Case {
        std::wstring folder, text;
    };
    const Case cases[] = {
        {L"C:\\Data", L"C:\\Data\\"},
        {L"C:\\Data\\", L"C:\\Data\\"},
        {L"C:\\Data\\\\", L"C:\\Data\\"},
        {L"C:\\", L"C:\\"},
        {L"c:/Data/Sub", L"c:\\Data\\Sub\\"},
        {L"C:\\a;b", L"C:\\a;b\\"},
        {L"C:\\中文目录", L"C:\\中文目录\\"},
        {L"\\\\server\\share\\dir", L"\\\\server\\share\\dir\\"},
        {L"\\\\server\\share", L"\\\\server\\share\\"},
        // Relative paths would be taken from the folder the dialog shows, not from ours.
        {L"Data", L""},
        {L"C:Data", L""},
        {L"\\Data", L""},
        {L"..\\Data", L""},
        {L"\\\\server", L""},
        {L"\\\\\\server\\share", L""},
        {L"", L""},
        // Wildcards make a filter of the text, quotes a list of files.
        {L"C:\\a*b", L""},
        {L"C:\\a?b", L""},
        {L"\\\\?\\C:\\Data", L""},
        {L"C:\\\"a\"", L""},
        {L"C:\\a<b", L""},
        {L"C:\\a>b", L""},
        {L"C:\\a|b", L""},
        {L"C:\\a\tb", L""},
        {L"C:\\a\nb", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::menu::DialogFolderText(c.folder), c.text) << c.folder.c_str();
}

TEST(NavigationRulesTest, AFolderReportedByADialogIsTheSameFolderWhateverItsCaseAndClosingBackslash) {
    EXPECT_TRUE(qd::menu::SameFolder(L"C:\\Data", L"c:\\DATA\\"));
    EXPECT_TRUE(qd::menu::SameFolder(L"C:\\", L"C:\\"));
    EXPECT_FALSE(qd::menu::SameFolder(L"C:\\Data", L"C:\\Data2"));
    EXPECT_FALSE(qd::menu::SameFolder(L"C:\\Data\\Sub", L"C:\\Data"));
    EXPECT_FALSE(qd::menu::SameFolder(L"", L""));
}

std::vector<std::uint8_t> Bytes(const void* data, std::size_t size, std::size_t bufferSize) {
    std::vector<std::uint8_t> buffer(bufferSize, 0);
    std::memcpy(buffer.data(), data, std::min(size, bufferSize));
    return buffer;
}

TEST(NavigationRulesTest, AnAnswerIsReadUpToItsTerminatorAndOnlyInsideTheBuffer) {
    const wchar_t wide[] = L"Z:\\tmp";                // 6 characters and a terminator
    const char ansi[] = "Z:\\\xD6\xD0\xCE\xC4";        // Z:\中文 in code page 936: 7 bytes, 5 characters
    const std::vector<std::uint8_t> full(64, 'x');     // no terminator anywhere
    struct Case {
        const char* what;
        std::vector<std::uint8_t> buffer;
        long long length;
        bool read;
        std::wstring text;
    };
    const Case cases[] = {
        {"UTF-16", Bytes(wide, sizeof wide, 64), 7, true, L"Z:\\tmp"},
        {"ANSI, counted in bytes", Bytes(ansi, sizeof ansi, 64), 8, true, L"Z:\\中文"},
        {"ANSI, counted in characters", Bytes(ansi, sizeof ansi, 64), 6, true, L"Z:\\中文"},
        {"empty", Bytes(wide, 0, 64), 1, true, L""},
        {"no terminator in the buffer", full, 20, false, L""},
        {"a length past the buffer", Bytes(wide, sizeof wide, 64), 65, false, L""},
        {"a zero length", Bytes(wide, sizeof wide, 64), 0, false, L""},
        {"a negative length", Bytes(wide, sizeof wide, 64), -1, false, L""},
        {"UTF-16 cut at the buffer's end, read as bytes up to the first zero",
         Bytes(wide, 12, 12), 6, true, L"Z"},
    };
    for (const Case& c : cases) {
        std::wstring text = L"unchanged";
        EXPECT_EQ(qd::menu::TextFromAnswer(c.buffer, c.length, text), c.read) << c.what;
        if (c.read) {
            EXPECT_EQ(text, c.text) << c.what;
        }
    }
}

TEST(NavigationRulesTest, AnItemIdListIsMeasuredItemByItemAndNeverPastItsLimit) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::size_t limit;
        std::size_t size;
    };
    const Case cases[] = {
        {"the empty list", {0, 0}, 100, 2},
        {"one item", {4, 0, 0xAA, 0xBB, 0, 0}, 100, 6},
        {"two items", {3, 0, 0xAA, 5, 0, 1, 2, 3, 0, 0}, 100, 10},
        {"exactly at the limit", {4, 0, 0xAA, 0xBB, 0, 0}, 6, 6},
        {"its terminator past the limit", {4, 0, 0xAA, 0xBB, 0, 0}, 5, 0},
        {"an item past the limit", {40, 0, 0xAA, 0xBB, 0, 0}, 30, 0},
        // A size smaller than the size field would never move on.
        {"an item of size one", {1, 0, 0, 0}, 100, 0},
        {"an item that runs past what can be read", {4, 0, 0xAA, 0xBB}, 100, 0},
        {"nothing to read", {}, 100, 0},
        {"a limit below a terminator", {0, 0}, 1, 0},
    };
    for (const Case& c : cases) {
        const auto read = [&](std::size_t offset, void* out, std::size_t count) {
            if (offset > c.bytes.size() || count > c.bytes.size() - offset) return false;
            std::memcpy(out, c.bytes.data() + offset, count);
            return true;
        };
        EXPECT_EQ(qd::menu::ItemIdListSize(read, c.limit), c.size) << c.what;
    }
}

}  // namespace
