// Undo and redo through the real main window and a private registry key: a long random run of
// commands checked against a model of the lists the history passes through; the history against
// refresh and the change notice of another process; undo when the key refuses it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/Global.h"
#include "app/RegistryAccessor.h"
#include "app/ListHistory.h"
#include "app/Main.h"
#include "app/ShortcutStore.h"
#include "resources/forms/MainFormDesc.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Registry.h"

namespace {

using Row = std::pair<std::wstring, std::wstring>;
using Rows = std::vector<Row>;

Rows NumberedRows(int n) {
    Rows rows;
    for (int i = 0; i < n; ++i) rows.emplace_back(L"alias" + std::to_wstring(i), L"C:\\dir" + std::to_wstring(i));
    return rows;
}

// The registry accessor, refusing to write the value named in failWrite.
class Refusing : public qd::RegistryAccessor {
public:
    explicit Refusing(const std::wstring& failWrite) : failWrite_(failWrite) {}
    void WriteString(const std::wstring& name, const std::wstring& text) override {
        if (name == failWrite_) throw tk::ERegistryException(L"Failed to set data for '" + name + L"'");
        RegistryAccessor::WriteString(name, text);
    }

private:
    const std::wstring& failWrite_;
};

class UndoTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
    }
    void TearDown() override {
        tk::Application().SetExceptionHandler(nullptr);
        tk::Application().SetMainForm(nullptr);
        form.reset();
    }
    void WriteRows(const Rows& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
    }
    void Start(const Rows& rows, bool askDelete = false) {
        WriteRows(rows);
        key.WriteString(L"Setting", L"C:\\Tools\\Quiverdir.exe");
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=" << (askDelete ? 1 : 0) << "\n";
        qd::MainSettings settings{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(),
                                  L"C:\\windows", L""};
        settings.Accessors = [this] { return std::make_unique<Refusing>(failWrite); };
        form = std::make_unique<qd::TfrmMain>(nullptr, settings);
        tk::Application().SetMainForm(form.get());
        qdtest::PumpIdle();
    }
    Rows ModelRows() {
        Rows rows;
        for (const qd::ShortcutRow& r : form->Model().Rows()) rows.emplace_back(r.Alias, r.Path);
        return rows;
    }
    // What the list view shows.
    Rows ListRows() {
        Rows rows;
        for (int i = 0; i < form->lvMain->Count(); ++i)
            rows.emplace_back(form->lvMain->ItemCaption(i), form->lvMain->ItemSubItem(i));
        return rows;
    }
    // Every value of the key but the program's path, read in one opening of the key.
    std::map<std::wstring, std::wstring> StoreValues() {
        std::map<std::wstring, std::wstring> values;
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key.Path().c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return values;
        const tk::ScopedRegKey owned(opened);
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLength = 256, type = 0;
            std::wstring data(1024, L'\0');
            DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
            if (RegEnumValueW(opened, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                              &size) != ERROR_SUCCESS)
                break;
            data.resize(size / sizeof(wchar_t));
            while (!data.empty() && data.back() == L'\0') data.pop_back();
            if (std::wstring(name, nameLength) != L"Setting") values[std::wstring(name, nameLength)] = data;
        }
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
    void WriteBackup(const std::filesystem::path& file, const Rows& entries) {
        std::filesystem::remove(file);
        tk::TIniFile ini(file.wstring());
        ini.WriteInteger(L"PathWarden", L"Count", static_cast<int>(entries.size()));
        for (size_t k = 0; k < entries.size(); ++k) {
            ini.WriteString(L"PathWarden", qd::AliasValueName(static_cast<int>(k)), entries[k].first);
            ini.WriteString(L"PathWarden", qd::PathValueName(static_cast<int>(k)), entries[k].second);
        }
    }
    void Choose(int row) { form->lvMain->SetItemIndex(row); }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::vector<std::wstring> errors;
    std::wstring failWrite;
    std::unique_ptr<qd::TfrmMain> form;
};

// The lists the history passes through, kept whole: state 0 is the list at the start, state k the
// list after step k; `at` is the state the list is in. Undo and redo move `at`; a new step drops
// the states after it.
struct HistoryModel {
    std::vector<Rows> states;
    std::vector<std::wstring> names;  // names[k]: the step that led to states[k]
    size_t at = 0;

    const Rows& Now() const { return states[at]; }
    // A command took the list to `next`: a step unless the list is the same.
    void Changed(const Rows& next, const std::wstring& name) {
        if (next == Now()) return;
        states.resize(at + 1);
        names.resize(at + 1);
        states.push_back(next);
        names.push_back(name);
        at = states.size() - 1;
    }
    std::wstring UndoName() const { return at > 0 ? names[at] : L""; }
    std::wstring RedoName() const { return at + 1 < states.size() ? names[at + 1] : L""; }
};

std::wstring UpperAscii(const std::wstring& s) { return tk::AsciiUpper(s); }

TEST_F(UndoTest, AThousandRandomCommandsUndoAndRedoAndTheKeyAlwaysEqualsTheList) {
    // Aliases differ from each other also without regard to letter case, so every sort has one
    // outcome the model can compute on its own.
    const auto started = std::chrono::steady_clock::now();
    const Rows start = NumberedRows(8);
    Start(start);
    HistoryModel model{{start}, {L""}, 0};
    std::mt19937 random(1234);
    int fresh = 0;
    bool ascending = true;
    const std::filesystem::path backup = dir / "step.pwb";
    // After every step the key and the model hold the model's list and the list view has its
    // length; every tenth step the view's texts are read too (each row is a message round).
    int checks = 0;
    auto check = [&](const std::string& what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(StoreValues(), ValuesOf(model.Now()));
        ASSERT_EQ(ModelRows(), model.Now());
        ASSERT_EQ(SendMessageW(form->lvMain->Handle(), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(model.Now().size()));
        if (++checks % 10 == 0) {
            ASSERT_EQ(ListRows(), model.Now());
        }
        ASSERT_EQ(form->CanUndo(), model.at > 0);
        ASSERT_EQ(form->CanRedo(), model.at + 1 < model.states.size());
        ASSERT_EQ(form->UndoName(), model.UndoName());
        ASSERT_EQ(form->RedoName(), model.RedoName());
    };
    for (int step = 0; step < 1000; ++step) {
        Rows next = model.Now();
        const int n = static_cast<int>(next.size());
        const int row = n > 0 ? static_cast<int>(random() % static_cast<unsigned>(n)) : -1;
        int op = static_cast<int>(random() % 20);
        if (n > 30 && op < 3) op = 5;  // a modest list: deletions instead of additions
        if (n < 2 && op >= 5 && op < 9) op = 0;
        std::string what = "step " + std::to_string(step) + " ";
        if (op < 3) {
            what += "add";
            const std::wstring alias = L"new" + std::to_wstring(++fresh);
            form->AddShortcut(alias, L"D:\\" + alias);
            next.emplace_back(alias, L"D:\\" + alias);
            model.Changed(next, qd::kStepAdd);
        } else if (op < 5 && n > 0) {
            what += "edit " + std::to_string(row);
            const std::wstring alias = L"edited" + std::to_wstring(++fresh);
            form->EditShortcut(row, alias, L"E:\\" + alias);
            next[static_cast<size_t>(row)] = {alias, L"E:\\" + alias};
            model.Changed(next, qd::kStepEdit);
        } else if (op < 7) {
            what += "delete " + std::to_string(row);
            Choose(row);
            form->aDeleteExecute(form->aDelete);
            next.erase(next.begin() + row);
            model.Changed(next, qd::kStepDelete);
        } else if (op == 7) {
            what += "up " + std::to_string(row);
            Choose(row);
            form->aItemUpExecute(form->aItemUp);
            if (row > 0) std::swap(next[static_cast<size_t>(row)], next[static_cast<size_t>(row - 1)]);
            model.Changed(next, qd::kStepMoveUp);
        } else if (op == 8) {
            what += "down " + std::to_string(row);
            Choose(row);
            form->aItemDownExecute(form->aItemDown);
            if (row + 1 < n) std::swap(next[static_cast<size_t>(row)], next[static_cast<size_t>(row + 1)]);
            model.Changed(next, qd::kStepMoveDown);
        } else if (op == 9) {
            what += ascending ? "sort up" : "sort down";
            form->aSortExecute(form->aSort);
            std::sort(next.begin(), next.end(), [&](const Row& a, const Row& b) {
                return ascending ? UpperAscii(a.first) < UpperAscii(b.first) : UpperAscii(a.first) > UpperAscii(b.first);
            });
            ascending = !ascending;
            model.Changed(next, qd::kStepSort);
        } else if (op == 10) {
            what += "import";
            // One entry the list has and one or two it lacks.
            Rows entries;
            if (n > 0) entries.push_back(next[static_cast<size_t>(row)]);
            for (int k = static_cast<int>(random() % 2); k >= 0; --k) {
                const std::wstring alias = L"imported" + std::to_wstring(++fresh);
                entries.emplace_back(alias, L"F:\\" + alias);
                next.emplace_back(alias, L"F:\\" + alias);
            }
            WriteBackup(backup, entries);
            form->ImportFrom(backup.wstring());
            model.Changed(next, qd::kStepImport);
        } else if (op < 16) {
            what += "undo";
            form->Undo();
            if (model.at > 0) --model.at;
        } else {
            what += "redo";
            form->Redo();
            if (model.at + 1 < model.states.size()) ++model.at;
        }
        qdtest::PumpIdle();
        check(what);
        if (HasFatalFailure()) return;
    }
    ASSERT_GT(model.states.size(), 200u);

    // All the way back: the list and the key as they were at the start.
    while (form->CanUndo()) {
        form->Undo();
        ASSERT_GT(model.at, 0u);
        --model.at;
        check("undo all");
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(model.at, 0u);
    EXPECT_EQ(ListRows(), start);
    EXPECT_EQ(StoreValues(), ValuesOf(start));
    // And forward again to the last list.
    while (form->CanRedo()) {
        form->Redo();
        ++model.at;
    }
    EXPECT_EQ(model.at, model.states.size() - 1);
    check("redo all");
    EXPECT_TRUE(errors.empty());
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("1000 commands, then undo and redo all the way: %.1f s\n", seconds);
}

TEST_F(UndoTest, AnUndoneDeleteComesBackChosenAndANewChangeEndsTheRedo) {
    Start(NumberedRows(5));
    Choose(2);
    form->aDeleteExecute(form->aDelete);
    Choose(0);
    form->Undo();
    EXPECT_EQ(ListRows(), NumberedRows(5));
    EXPECT_EQ(form->lvMain->ItemIndex(), 2);
    EXPECT_EQ(form->SelIndex(), 2);
    EXPECT_EQ(form->RedoName(), qd::kStepDelete);
    form->aItemDownExecute(form->aItemDown);
    EXPECT_FALSE(form->CanRedo());
    EXPECT_EQ(form->UndoName(), qd::kStepMoveDown);
    // A command that changes nothing is no step.
    Choose(4);
    form->aItemDownExecute(form->aItemDown);
    form->aSortExecute(form->aSort);
    form->aSortExecute(form->aSort);  // descending now: a different list
    form->Undo();
    form->aSortExecute(form->aSort);  // ascending again: the list as it is, no step
    EXPECT_EQ(form->UndoName(), qd::kStepSort);
    form->Undo();
    EXPECT_EQ(form->UndoName(), qd::kStepMoveDown);
    EXPECT_TRUE(errors.empty());
}

TEST_F(UndoTest, AnotherProcesssChangeEndsTheHistoryButARefreshThatFindsNoneKeepsIt) {
    struct Case {
        const char* name;
        bool outsideChange;
        bool byNotice;  // else by the refresh button's command
        bool historyKept;
    };
    const Case cases[] = {
        {"refresh, key unchanged", false, false, true},
        {"refresh, key changed", true, false, false},
        {"notice, key changed", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        Start(NumberedRows(3));
        Choose(0);
        form->aDeleteExecute(form->aDelete);
        ASSERT_TRUE(form->CanUndo());
        Rows shown = ListRows();
        if (c.outsideChange) {
            key.WriteString(L"N0", L"outside");
            shown[0].first = L"outside";
        }
        if (c.byNotice) {
            PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
            EXPECT_TRUE(qdtest::PumpUntil([&] { return ListRows() == shown; }));
        } else {
            form->tbRefreshClick(nullptr);
        }
        EXPECT_EQ(ListRows(), shown);
        EXPECT_EQ(form->CanUndo(), c.historyKept);
        form->Undo();
        EXPECT_EQ(ListRows(), c.historyKept ? NumberedRows(3) : shown);
        EXPECT_EQ(StoreValues(), ValuesOf(ListRows()));
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(UndoTest, ANoticeWhileTheDeleteQuestionIsOpenReloadsAndTheRowAskedAboutGoes) {
    // While the question is up, another process puts a row in front of the list and says so.
    Start(NumberedRows(3), true);
    Choose(1);
    qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
        HWND box = qdtest::WaitForSystemDialog(ui);
        if (!box) return;
        WriteRows({{L"front", L"C:\\front"}, NumberedRows(3)[0], NumberedRows(3)[1], NumberedRows(3)[2]});
        PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
        Sleep(300);
        qdtest::PressDialogButton(box, IDYES);
        qdtest::WaitUntilGone(box);
    });
    form->aDeleteExecute(form->aDelete);
    script.Join();
    const Rows expected{{L"front", L"C:\\front"}, NumberedRows(3)[0], NumberedRows(3)[2]};
    EXPECT_EQ(ListRows(), expected);
    EXPECT_EQ(StoreValues(), ValuesOf(expected));
    EXPECT_EQ(form->UndoName(), qd::kStepDelete);
    form->Undo();
    EXPECT_EQ(ListRows(), (Rows{{L"front", L"C:\\front"}, NumberedRows(3)[0], NumberedRows(3)[1], NumberedRows(3)[2]}));
    EXPECT_FALSE(form->CanUndo());
    EXPECT_TRUE(errors.empty());
}

TEST_F(UndoTest, ANoticeWhileTheEditDialogIsOpenEditsTheRowShownWhereverItNowStands) {
    const Rows r = NumberedRows(3);
    std::filesystem::create_directories(dir / "edited");
    const std::wstring folder = (dir / "edited").wstring();
    struct Case {
        const char* name;
        Rows outside;  // what another process leaves in the key while the dialog is open
        Rows expected;
        std::vector<std::wstring> errors;
    };
    const Case cases[] = {
        {"a row put in front", {{L"front", L"C:\\front"}, r[0], r[1], r[2]},
         {{L"front", L"C:\\front"}, r[0], {L"edited", folder}, r[2]}, {}},
        {"the row removed", {r[0], r[2]}, {r[0], r[2]}, {qd::kEditedRowGone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        errors.clear();
        Start(r);
        Choose(1);
        qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, L"增加快捷目录");
            HWND name = dialog ? qdtest::FindDescendant(dialog, L"Edit", 0) : nullptr;
            HWND path = dialog ? qdtest::FindDescendant(dialog, L"Edit", 1) : nullptr;
            HWND ok = dialog ? qdtest::FindDescendantByText(dialog, L"确定(&O)") : nullptr;
            if (!name || !path || !ok) return;
            WriteRows(c.outside);
            for (size_t i = c.outside.size(); i < r.size() + 1; ++i) {
                tk::TRegistry reg;
                reg.OpenKey(key.Path(), false);
                reg.DeleteValue(qd::AliasValueName(static_cast<int>(i)));
                reg.DeleteValue(qd::PathValueName(static_cast<int>(i)));
            }
            PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
            Sleep(300);
            qdtest::SetWindowTextFromOutside(name, L"edited");
            qdtest::SetWindowTextFromOutside(path, folder);
            qdtest::PressButton(ok);
            qdtest::WaitUntilGone(dialog);
        });
        tk::Application().Guarded([&] { form->aEditExecute(form->aEdit); });
        script.Join();
        EXPECT_EQ(ListRows(), c.expected);
        EXPECT_EQ(StoreValues(), ValuesOf(c.expected));
        EXPECT_EQ(errors, c.errors);
    }
}

TEST_F(UndoTest, AnUndoTheKeyRefusesShowsTheErrorAndKeepsTheStepUnlessItGotPartWay) {
    Start(NumberedRows(4));
    Choose(0);
    form->aDeleteExecute(form->aDelete);
    const Rows afterDelete = ListRows();
    {
        qdtest::ReadOnlyKey readOnly(key.Path());
        ASSERT_TRUE(readOnly.Applied());
        tk::Application().Guarded([&] { form->Undo(); });
    }
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], L"Failed to open key '" + key.Path() + L"' for writing");
    EXPECT_EQ(ListRows(), afterDelete);
    EXPECT_TRUE(form->CanUndo());
    form->Undo();
    EXPECT_EQ(ListRows(), NumberedRows(4));
    EXPECT_EQ(StoreValues(), ValuesOf(NumberedRows(4)));
    EXPECT_FALSE(form->CanUndo());
    EXPECT_TRUE(form->CanRedo());
    errors.clear();

    // The key refuses in the middle of the redo: what reached the key is shown, and the history,
    // which fits neither end, is gone.
    failWrite = L"N1";
    tk::Application().Guarded([&] { form->Redo(); });
    ASSERT_EQ(errors, std::vector<std::wstring>{L"Failed to set data for 'N1'"});
    const Rows r = NumberedRows(4);
    EXPECT_EQ(ListRows(), (Rows{r[1], r[1], r[2], r[3]}));
    EXPECT_EQ(StoreValues(), ValuesOf(ListRows()));
    EXPECT_FALSE(form->CanUndo());
    EXPECT_FALSE(form->CanRedo());
}

}  // namespace
