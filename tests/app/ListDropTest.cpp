// Folders dropped onto the main window's list and pasted into it, and rows dragged within it, as
// a person does them: another program drags a file list with the real mouse and drops it on the
// list; Ctrl+V is typed on the real keyboard with the clipboard filled as Explorer fills it; a
// row is pressed, dragged and released with the real mouse. Then the list, the private registry
// key, the chosen row and the messages shown are compared with what must come of it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Global.h"
#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/win/RegistryAccessor.h"
#include "list/ShortcutStore.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/FileDataObject.h"
#include "tests/support/FolderGate.h"
#include "tests/support/RealInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/ScopedOle.h"

namespace {

using Row = std::pair<std::wstring, std::wstring>;
using Rows = std::vector<Row>;

constexpr int kLink = DROPEFFECT_LINK;

// The registry accessor that counts the openings of the key for writing.
class Counted : public qd::RegistryAccessor {
public:
    explicit Counted(int& opened) : opened_(opened) {}
    bool OpenKey(const std::wstring& path, bool create) override {
        ++opened_;
        return RegistryAccessor::OpenKey(path, create);
    }

private:
    int& opened_;
};

// Answers the message boxes of the constructing thread as a person would, but only once the drag
// source program has got its drop back (a box shown while the source still waits holds it up, as
// it would hold up Explorer); after 10 seconds it answers anyway and records that it had to.
class BoxesAfterTheDrop {
public:
    explicit BoxesAfterTheDrop(HANDLE dropped) : dropped_(dropped), ui_(GetCurrentThreadId()) {
        watcher_ = std::thread([this] {
            while (!stop_) {
                HWND box = qdtest::WaitForSystemDialog(ui_, 50);
                if (!box) continue;
                const bool afterDrop = WaitForSingleObject(dropped_, 10000) == WAIT_OBJECT_0;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    texts_.push_back(qdtest::DialogText(box));
                    if (!afterDrop) ++early_;
                }
                qdtest::PressDialogButton(box, IDOK);
                qdtest::WaitUntilGone(box);
            }
        });
    }
    ~BoxesAfterTheDrop() {
        stop_ = true;
        watcher_.join();
    }
    std::vector<std::wstring> Texts() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }
    int ShownBeforeTheDropReturned() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return early_;
    }

private:
    HANDLE dropped_;
    DWORD ui_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::wstring> texts_;
    int early_ = 0;
    std::thread watcher_;
};

class ListDropTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
        realinput::MouseAway();
    }
    void TearDown() override {
        realinput::MouseAway();
        tk::Application().SetMainForm(nullptr);
        form.reset();
        gate->Open();  // calls still held end; their workers find the probe gone
        tk::Application().SetExceptionHandler(nullptr);
    }

    void Start(const Rows& rows) {
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
        key.WriteString(L"Setting", kExe);
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
        qd::MainSettings s{key.Path(), kExe, (dir / "options.ini").wstring(), L"C:\\windows", L""};
        s.Accessors = [this] { return std::make_unique<Counted>(openings); };
        // A server ("\\\\...") answers the folder check when the gate opens; other paths at once.
        s.FolderProbe.Test = [g = gate](const std::wstring& path) { return g->Ask(path); };
        if (probeTimeoutMs) s.FolderProbe.TimeoutMs = probeTimeoutMs;
        form = std::make_unique<qd::TfrmMain>(nullptr, s);
        tk::Application().SetMainForm(form.get());
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(form->Handle());
        realinput::Settle(150);
        openings = 0;
    }

    Rows ListRows() {
        Rows rows;
        for (int i = 0; i < form->lvMain->Count(); ++i)
            rows.emplace_back(form->lvMain->ItemCaption(i), form->lvMain->ItemSubItem(i));
        return rows;
    }
    // Every value of the key but the program's path and the count of changes, by name.
    std::map<std::wstring, std::wstring> StoreValues() {
        std::map<std::wstring, std::wstring> values;
        for (const std::wstring& name : key.ValueNames())
            if (name != L"Setting" && name != qd::kChangeCountValue) values[name] = key.Read(name);
        return values;
    }
    static std::map<std::wstring, std::wstring> ValuesOf(const Rows& rows) {
        std::map<std::wstring, std::wstring> values;
        for (size_t i = 0; i < rows.size(); ++i) {
            values[qd::AliasValueName(static_cast<int>(i))] = rows[i].first;
            values[qd::PathValueName(static_cast<int>(i))] = rows[i].second;
        }
        return values;
    }
    std::wstring Folder(const std::wstring& name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }
    std::wstring File(const std::wstring& name) {
        std::ofstream(dir / name) << "not a folder";
        return (dir / name).wstring();
    }
    POINT RowPoint(int row) {
        RECT r{LVIR_BOUNDS};
        SendMessageW(form->lvMain->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return {r.left + 40, (r.top + r.bottom) / 2};
    }

    // The drag source program shows its window; the real mouse presses on it, carries the data
    // over the list's rows and lets go there. Returns the source's exit code, the effect the drop
    // took (or its codes for failures, see DragSource.cpp).
    int DragOntoList(const std::vector<std::wstring>& arguments) {
        ResetEvent(dropped.get());
        std::wstring commandLine = L"\"" + qdtest::WindowsPath(QD_DRAG_SOURCE) + L"\"";
        for (const std::wstring& a : arguments) commandLine += L" \"" + a + L"\"";
        STARTUPINFOW si{sizeof(si)};
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return -1;
        const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
        HWND source = nullptr;
        for (int i = 0; i < 200 && !source; ++i) {
            realinput::Settle(50);
            HWND found = FindWindowW(L"QdDragSource", nullptr);
            if (found && IsWindowVisible(found)) source = found;
        }
        if (!source) {
            TerminateProcess(pi.hProcess, 1);
            return -2;
        }
        realinput::MouseMove(source, 40, 40);
        realinput::MouseDown();
        realinput::Settle(150);
        HWND list = form->lvMain->Handle();
        for (int row : {2, 1, 0}) {
            const POINT p = RowPoint(row);
            realinput::MouseMove(list, p.x + 100, p.y);
            realinput::Settle(60);
        }
        realinput::MouseUp();
        // The drop calls into this thread: it keeps handling messages until the source has ended.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT && std::chrono::steady_clock::now() < end)
            realinput::Settle(20);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi.hProcess, &code);
        if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
        return static_cast<int>(code);
    }

    void TypeCtrlV() {
        // The keyboard focus settles first: under Wine, the window system's first report of it
        // resets the record of the keys held, which would let Ctrl go unseen.
        realinput::Settle(300);
        realinput::KeyDown(VK_CONTROL);
        realinput::Key('V');
        realinput::KeyUp(VK_CONTROL);
        realinput::Settle(100);
    }
    static void PutTextOnClipboard(const std::wstring& text) {
        const tk::ScopedClipboard clipboard(nullptr);
        ASSERT_TRUE(clipboard.Open());
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        ASSERT_NE(block, nullptr);
        memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
        ASSERT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);  // the clipboard owns it now
    }

    static constexpr wchar_t kExe[] = L"C:\\Tools\\Quiverdir.exe";
    std::shared_ptr<qdtest::FolderGate> gate = std::make_shared<qdtest::FolderGate>();
    unsigned probeTimeoutMs = 0;  // the folder check's limit per path; 0: the program's own
    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    int openings = 0;
    // Set by the drag source once its drag has returned.
    const tk::ScopedKernelHandle dropped{CreateEventW(nullptr, TRUE, FALSE, L"QdDragSourceDropped")};
    std::vector<std::wstring> errors;
    std::unique_ptr<qd::TfrmMain> form;
};

std::wstring Refused(const std::vector<std::wstring>& names) {
    std::wstring text = qd::kNotFoldersRefused;
    for (const std::wstring& n : names) text += L"\r\n" + n;
    return text;
}

TEST_F(ListDropTest, FoldersDraggedFromAnotherProgramAreAddedInOrderDuplicatesChosenFilesRefused) {
    const std::wstring work = Folder(L"work"), chinese = Folder(L"工作 目录"), music = Folder(L"Music");
    const std::wstring notes = File(L"notes.txt");
    // The list holds Music already, its path written in other letter case and with a backslash.
    const Rows before{{L"alias0", L"C:\\dir0"}, {L"Music", tk::AsciiUpper(music) + L"\\"}};
    struct Case {
        const char* what;
        std::vector<std::wstring> arguments;
        Rows added;
        int chosen;
        std::vector<std::wstring> messages;
        int effect;
    } cases[] = {
        {"one folder", {L"files", work}, {{L"work", work}}, qd::kNoRowChosen, {}, kLink},
        {"several folders", {L"files", chinese, work}, {{L"工作 目录", chinese}, {L"work", work}}, qd::kNoRowChosen, {}, kLink},
        {"a folder the list holds", {L"files", music}, {}, 1, {}, kLink},
        {"a file", {L"files", notes}, {}, qd::kNoRowChosen, {Refused({notes})}, kLink},
        {"a mix", {L"files", notes, work, music, chinese}, {{L"work", work}, {L"工作 目录", chinese}}, 1,
         {Refused({notes})}, kLink},
        {"a text, no file list", {L"text", work}, {}, qd::kNoRowChosen, {}, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(before);
        Rows expected = before;
        expected.insert(expected.end(), c.added.begin(), c.added.end());
        BoxesAfterTheDrop boxes(dropped.get());
        EXPECT_EQ(DragOntoList(c.arguments), c.effect);
        qdtest::PumpUntil([&] { return ListRows() == expected && boxes.Texts().size() >= c.messages.size(); });
        realinput::Settle(100);
        EXPECT_EQ(ListRows(), expected);
        EXPECT_EQ(StoreValues(), ValuesOf(expected));
        EXPECT_EQ(form->SelIndex(), c.chosen);
        EXPECT_EQ(boxes.Texts(), c.messages);
        EXPECT_EQ(boxes.ShownBeforeTheDropReturned(), 0) << "a message held the dragging program up";
        // Several new rows also set and clear the crash record: one opening each.
        EXPECT_LE(openings, c.added.size() > 1 ? 3 : 1) << "the new pairs are written in one opening of the key";
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(ListDropTest, ARowDraggedWithTheMouseMovesThereAsSingleMovesWould) {
    Rows five;
    for (int i = 0; i < 5; ++i) five.emplace_back(L"alias" + std::to_wstring(i), L"C:\\dir" + std::to_wstring(i));
    HWND list = nullptr;
    auto drag = [&](int from, int overRow, int releaseDx = 0, bool escape = false) {
        list = form->lvMain->Handle();
        // Pressed again soon at the same place, the button would make a double click (which edits).
        realinput::Settle(static_cast<int>(GetDoubleClickTime()) + 50);
        const POINT start = RowPoint(from);
        realinput::MouseMove(list, start.x, start.y);
        realinput::MouseDown();
        const int step = overRow > from ? 1 : -1;
        for (int r = from; r != overRow + step; r += step) {
            const POINT p = RowPoint(r);
            realinput::MouseMove(list, p.x + 10, p.y + (r == from ? 3 * step : 0));
        }
        if (releaseDx) realinput::MouseMove(list, RowPoint(overRow).x + releaseDx, RowPoint(overRow).y);
        if (escape) realinput::Key(VK_ESCAPE);
        realinput::MouseUp();
        realinput::Settle(100);
    };

    // Three moves down with the command, for comparison.
    Start(five);
    form->lvMain->SetItemIndex(0);
    for (int i = 0; i < 3; ++i) form->aItemDownExecute(nullptr);
    const Rows byMoves = ListRows();
    const auto storeByMoves = StoreValues();
    ASSERT_EQ(byMoves, (Rows{five[1], five[2], five[3], five[0], five[4]}));

    Start(five);
    drag(0, 3);
    EXPECT_EQ(ListRows(), byMoves);
    EXPECT_EQ(StoreValues(), storeByMoves);
    EXPECT_EQ(form->SelIndex(), 3);
    EXPECT_EQ(form->lvMain->ItemIndex(), 3);
    EXPECT_EQ(openings, 1) << "the crash record, rows 0 to 3, the count and the record's clearing in one opening of the key";

    // Upward: the row goes above the row it is released on.
    drag(4, 1);
    const Rows up{five[1], five[4], five[2], five[3], five[0]};
    EXPECT_EQ(ListRows(), up);
    EXPECT_EQ(StoreValues(), ValuesOf(up));
    EXPECT_EQ(form->SelIndex(), 1);

    // Escape during the drag, or a release beside the list, moves nothing.
    drag(0, 3, 0, true);
    EXPECT_EQ(ListRows(), up);
    EXPECT_EQ(form->lvMain->DraggedItem(), -1);
    drag(0, 3, 2000);
    EXPECT_EQ(ListRows(), up);
    EXPECT_EQ(StoreValues(), ValuesOf(up));
    EXPECT_TRUE(errors.empty());
}

TEST_F(ListDropTest, AChangeOfTheListDuringARowDragEndsTheDragAndTheReleaseMovesNothing) {
    // Another program's change as every writer of the list makes it: the pairs, then the count.
    const auto RaiseChangeCount = [&](std::uint64_t was) {
        key.WriteString(qd::kChangeCountValue, std::to_wstring(was + 1));
    };
    Rows five;
    for (int i = 0; i < 5; ++i) five.emplace_back(L"alias" + std::to_wstring(i), L"C:\\dir" + std::to_wstring(i));
    const Row outside{L"outside", L"C:\\outside"};
    struct Case {
        const char* what;
        // Before the drag (a step to undo); while the button is held, with the rows dragged over.
        std::function<void()> before, during;
        Rows expected;
    };
    const Case cases[] = {
        {"another program renames a row below and says so", [] {},
         [&] {
             key.WriteString(qd::AliasValueName(4), outside.first);
             RaiseChangeCount(qd::ParseChangeCount(key.Read(qd::kChangeCountValue)));
             PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
         },
         {five[0], five[1], five[2], five[3], {outside.first, five[4].second}}},
        {"another program puts a row in front and says so", [] {},
         [&] {
             const std::uint64_t count = qd::ParseChangeCount(key.Read(qd::kChangeCountValue));
             tk::TRegistry().DeleteKey(key.Path());
             Rows front{outside};
             front.insert(front.end(), five.begin(), five.end());
             for (size_t i = 0; i < front.size(); ++i) {
                 key.WriteString(qd::AliasValueName(static_cast<int>(i)), front[i].first);
                 key.WriteString(qd::PathValueName(static_cast<int>(i)), front[i].second);
             }
             RaiseChangeCount(count);
             PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
         },
         {outside, five[0], five[1], five[2], five[3], five[4]}},
        {"Ctrl+Z undoes a move",
         [&] {
             form->lvMain->SetItemIndex(4);
             form->aItemUpExecute(nullptr);
         },
         [] {
             realinput::KeyDown(VK_CONTROL);
             realinput::Key('Z');
             realinput::KeyUp(VK_CONTROL);
         },
         five},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(five);
        c.before();
        HWND list = form->lvMain->Handle();
        realinput::Settle(static_cast<int>(GetDoubleClickTime()) + 50);
        const POINT start = RowPoint(0);
        realinput::MouseMove(list, start.x, start.y);
        realinput::MouseDown();
        for (int r = 0; r <= 3; ++r) realinput::MouseMove(list, RowPoint(r).x + 10, RowPoint(r).y + (r == 0 ? 3 : 0));
        realinput::Settle(100);
        ASSERT_EQ(form->lvMain->DraggedItem(), 0) << "the drag did not start";
        c.during();
        EXPECT_TRUE(qdtest::PumpUntil([&] { return ListRows() == c.expected; }));
        EXPECT_EQ(form->lvMain->DraggedItem(), -1) << "the drag goes on over the changed rows";
        // Released over another row, the button moves nothing.
        realinput::MouseMove(list, RowPoint(3).x + 20, RowPoint(3).y);
        realinput::MouseUp();
        realinput::Settle(100);
        EXPECT_EQ(ListRows(), c.expected);
        EXPECT_EQ(StoreValues(), ValuesOf(c.expected));
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(ListDropTest, CtrlVPastesFoldersCopiedInExplorerOrAPathAsTextAndRefusesAnythingElse) {
    const std::wstring work = Folder(L"work"), music = Folder(L"Music"), spaced = Folder(L"with space");
    const std::wstring notes = File(L"notes.txt");
    const Rows before{{L"Music", music}};
    const tk::OleScope ole;
    ASSERT_TRUE(ole.Initialized());
    struct Case {
        const char* what;
        std::function<void()> fill;
        Rows added;
        int chosen;
        std::vector<std::wstring> messages;
    } cases[] = {
        {"folders, a held one and a file copied in Explorer",
         [&] {
             tk::ScopedComPtr<IDataObject> data(qdtest::NewFileDataObject({work, notes, music, spaced}));
             ASSERT_EQ(OleSetClipboard(data.get()), S_OK);
         },
         {{L"work", work}, {L"with space", spaced}}, 0, {Refused({notes})}},
        {"a path as text, quoted as Explorer's Copy as path quotes it",
         [&] { PutTextOnClipboard(L"  \"" + spaced + L"\\\"\r\n"); }, {{L"with space", spaced}}, qd::kNoRowChosen, {}},
        {"a picture",
         [&] {
             const tk::ScopedClipboard clipboard(nullptr);
             ASSERT_TRUE(clipboard.Open());
             EmptyClipboard();
             ASSERT_NE(SetClipboardData(CF_BITMAP, CreateBitmap(4, 4, 1, 32, nullptr)), nullptr);
         },
         {}, qd::kNoRowChosen, {qd::kClipboardHoldsNoFolder}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(before);
        c.fill();
        // No row chosen: the paste needs none.
        form->lvMain->SetFocus();
        qdtest::MessageBoxCounter boxes(IDOK);
        TypeCtrlV();
        Rows expected = before;
        expected.insert(expected.end(), c.added.begin(), c.added.end());
        qdtest::PumpUntil([&] { return ListRows() == expected && boxes.Shown() >= static_cast<int>(c.messages.size()); });
        realinput::Settle(100);
        EXPECT_EQ(ListRows(), expected);
        EXPECT_EQ(StoreValues(), ValuesOf(expected));
        EXPECT_EQ(form->SelIndex(), c.chosen);
        EXPECT_EQ(boxes.Texts(), c.messages);
        EXPECT_TRUE(errors.empty());
        OleSetClipboard(nullptr);
    }

    // In the property dialog, Ctrl+V pastes the text into the edit, not folders into the list.
    Start(before);
    PutTextOnClipboard(work);
    std::wstring pasted;
    bool acted = false;
    const int idle = tk::Application().AddIdleHandler([&] {
        HWND dialog = FindWindowW(nullptr, L"增加快捷目录");
        if (acted || !dialog || !IsWindowVisible(dialog)) return;
        acted = true;
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        HWND path = qdtest::FindDescendant(dialog, L"Edit", 1);
        realinput::Click(path, 20, 8);
        TypeCtrlV();
        pasted = qdtest::WindowText(path);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    form->tbAddClick(nullptr);
    tk::Application().RemoveIdleHandler(idle);
    EXPECT_EQ(pasted, work);
    EXPECT_EQ(ListRows(), before);
}

// Whether the window's thread answers a message sent from another thread (as another program's
// or the system's would be): it must while a paste waits for a server.
bool AnswersASentMessage(HWND window) {
    std::atomic<int> answered{-1};
    std::thread sender([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
    });
    qdtest::PumpUntil([&] { return answered >= 0; }, 15000);
    sender.join();
    return answered == 1;
}

TEST_F(ListDropTest, APasteWaitsForASlowServerOffTheWindowsThreadAndItsRowsComeToTheListTheKeyHoldsThen) {
    const std::wstring work = Folder(L"work"), music = Folder(L"Music");
    const std::wstring notes = File(L"notes.txt"), gone = (dir / L"gone").wstring();
    const std::wstring server = L"\\\\fileserver\\share\\报告", server2 = L"\\\\fileserver\\share\\other";
    const Rows before{{L"kept", L"C:\\kept"}};
    const Row outside{L"outside", L"C:\\outside"};
    // The server holds its answer until the gate opens, longer than any limit.
    probeTimeoutMs = 600000;
    Start(before);
    qdtest::MessageBoxCounter boxes(IDOK);
    // The server's second folder waits to be asked until the first has answered; the reload's new
    // check of the rows must not drop that question.
    PutTextOnClipboard(work + L"\r\n" + server + L"\r\n" + notes + L"\r\n" + server2 + L"\r\n" + gone);
    form->lvMain->SetFocus();
    TypeCtrlV();
    ASSERT_TRUE(qdtest::PumpUntil([&] { return gate->NetworkCalls() == 1; })) << "the server was not asked";
    realinput::SaveScreenshot(form->Handle(), "paste-waiting");

    // Meanwhile the window answers, a second paste queues behind the first, and another program
    // adds a row (the window reloads the key). Nothing of the pastes is written yet.
    EXPECT_TRUE(AnswersASentMessage(form->Handle()));
    PutTextOnClipboard(music);
    TypeCtrlV();
    EXPECT_EQ(form->FolderAddsWaiting(), 2u);
    key.WriteString(qd::AliasValueName(1), outside.first);
    key.WriteString(qd::PathValueName(1), outside.second);
    key.WriteString(qd::kChangeCountValue, std::to_wstring(qd::ParseChangeCount(key.Read(qd::kChangeCountValue)) + 1));
    PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
    Rows expected{before[0], outside};
    EXPECT_TRUE(qdtest::PumpUntil([&] { return ListRows() == expected; }));
    EXPECT_EQ(StoreValues(), ValuesOf(expected));
    EXPECT_EQ(boxes.Shown(), 0);

    // The server answers: both pastes' rows come, in their order, after the row the key gained;
    // the file and the folder not there are refused as before.
    gate->Open();
    expected.insert(expected.end(), {{L"work", work}, {L"报告", server}, {L"other", server2}, {L"Music", music}});
    EXPECT_TRUE(qdtest::PumpUntil([&] { return ListRows() == expected && boxes.Shown() >= 1; }));
    realinput::Settle(100);
    EXPECT_EQ(ListRows(), expected);
    EXPECT_EQ(StoreValues(), ValuesOf(expected));
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{Refused({notes, gone})});
    EXPECT_FALSE(form->Model().Row(3).Unknown);
    EXPECT_EQ(form->FolderAddsWaiting(), 0u);
    EXPECT_EQ(gate->WindowThreadCalls(), 0) << "a folder was checked on the window's thread";
    EXPECT_TRUE(errors.empty());

    // A server that never answers: once the limit has passed its folder is added, marked unknown.
    // The window closed meanwhile stays until the row is stored, then closes.
    gate = std::make_shared<qdtest::FolderGate>();
    probeTimeoutMs = 300;
    Start(before);
    PutTextOnClipboard(server);
    form->lvMain->SetFocus();
    TypeCtrlV();
    ASSERT_EQ(form->FolderAddsWaiting(), 1u);
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle()) && !tk::Application().Terminated()) << "closed before the row came";
    const Rows withServer{before[0], {L"报告", server}};
    EXPECT_TRUE(qdtest::PumpUntil([&] { return ListRows() == withServer; }));
    EXPECT_EQ(StoreValues(), ValuesOf(withServer));
    EXPECT_TRUE(form->Model().Row(1).Unknown);
    EXPECT_TRUE(qdtest::PumpUntil([&] { return !IsWindowVisible(form->Handle()); })) << "the close was forgotten";
    EXPECT_TRUE(tk::Application().Terminated());
    EXPECT_TRUE(errors.empty());
}

TEST_F(ListDropTest, AThousandPastedFoldersAreWrittenInOneOpeningAndARefusedWriteLosesNothing) {
    std::wstring text;
    Rows added;
    for (int i = 0; i < 1000; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i);
        added.emplace_back(name, Folder(name));
        text += added.back().second + L"\r\n";
    }
    Start({});
    PutTextOnClipboard(text);
    form->lvMain->SetFocus();
    const auto started = std::chrono::steady_clock::now();
    TypeCtrlV();
    qdtest::PumpUntil([&] { return form->Model().Count() == 1000; });
    std::printf("[ paste ] 1000 folders: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - started).count()));
    EXPECT_EQ(ListRows(), added);
    EXPECT_EQ(StoreValues(), ValuesOf(added));
    EXPECT_EQ(openings, 1) << "the crash record, the pairs, the count and the record's clearing in one opening";

    // The key refuses the writes: the error says so, and the list still shows what the key holds.
    Start({{L"kept", L"C:\\kept"}});
    qdtest::ReadOnlyKey readOnly(key.Path());
    ASSERT_TRUE(readOnly.Applied());
    PutTextOnClipboard(added[0].second);
    form->lvMain->SetFocus();
    TypeCtrlV();
    qdtest::PumpUntil([&] { return !errors.empty(); });
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(key.Path()), std::wstring::npos) << tk::ToUtf8(errors[0]);
    EXPECT_EQ(ListRows(), (Rows{{L"kept", L"C:\\kept"}}));
    errors.clear();
}

}  // namespace
