// Undo and redo through the real main window and a private registry key: a long random run of
// commands checked against a model of the lists the history passes through; the history against
// refresh and another process's change notice, also while a command's question or dialog is open;
// undo when the key refuses it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/Global.h"
#include "list/ListHistory.h"
#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/win/RegistryAccessor.h"
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
    // Another program's change as every writer of the list makes it: the pairs, then ChangeCount
    // raised (also across a deletion of the key, which would start it at nothing again).
    void OutsideChange(const Rows& rows, bool deleteKeyFirst = false) {
        const std::wstring count = key.Read(qd::kChangeCountValue);
        if (deleteKeyFirst) tk::TRegistry().DeleteKey(key.Path());
        WriteRows(rows);
        key.WriteString(qd::kChangeCountValue, std::to_wstring(qd::ParseChangeCount(count) + 1));
    }
    void Start(const Rows& rows, bool askDelete = false) {
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        WriteRows(rows);
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=" << (askDelete ? 1 : 0) << "\n";
        qd::MainSettings settings{key.Path(), L"C:\\Q.exe", (dir / "options.ini").wstring(), L"C:\\windows", L""};
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
    // What the list view shows (each row a message round).
    Rows ListRows() {
        Rows rows;
        for (int i = 0; i < form->lvMain->Count(); ++i)
            rows.emplace_back(form->lvMain->ItemCaption(i), form->lvMain->ItemSubItem(i));
        return rows;
    }
    // The list the key's values stand for (Setting and the count of changes aside), read in one opening of the key: pairs
    // N<i>/P<i> in order, and a mark when any other value is left.
    Rows KeyValues() {
        std::vector<std::pair<std::wstring, std::wstring>> values;
        HKEY opened = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, key.Path().c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
        const tk::ScopedRegKey owned(opened);
        for (DWORD i = 0;; ++i) {
            wchar_t name[64], data[512] = {};
            DWORD nameLength = 64, size = sizeof(data) - sizeof(wchar_t);
            if (RegEnumValueW(opened, i, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
                ERROR_SUCCESS)
                break;
            const std::wstring valueName(name, nameLength);
            if (valueName != L"Setting" && valueName != qd::kChangeCountValue) values.emplace_back(valueName, data);
        }
        Rows rows;
        for (int i = 0;; ++i) {
            auto find = [&](const std::wstring& n) { return std::find_if(values.begin(), values.end(), [&](auto& v) { return v.first == n; }); };
            auto a = find(qd::AliasValueName(i)), p = find(qd::PathValueName(i));
            if (a == values.end() || p == values.end()) break;
            rows.emplace_back(a->second, p->second);
        }
        if (values.size() != rows.size() * 2) rows.emplace_back(L"<other values>", L"");
        return rows;
    }
    void Choose(int row) { form->lvMain->SetItemIndex(row); }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::vector<std::wstring> errors;
    std::wstring failWrite;
    std::unique_ptr<qd::TfrmMain> form;
};

// The lists the history passes through, kept whole: states[0] is the list at the start (or after the
// oldest step the history still holds), states[k] the list after step k, named names[k]; `at` is
// the state the list is in now. As the window's history, it holds the last 100 steps.
struct HistoryModel {
    std::vector<Rows> states;
    std::vector<std::wstring> names{L""};
    size_t at = 0;
    size_t made = 0;  // steps made in all

    const Rows& Now() const { return states[at]; }
    // A command took the list to `next`: a step unless the list is the same.
    void Changed(const Rows& next, const std::wstring& name) {
        if (next == Now()) return;
        ++made;
        states.resize(++at);
        names.resize(at);
        states.push_back(next);
        names.push_back(name);
        if (at > qd::ListHistory::kMaxSteps) {
            states.erase(states.begin());
            names.erase(names.begin() + 1);
            --at;
        }
    }
};

TEST_F(UndoTest, AThousandRandomCommandsUndoAndRedoAndTheKeyAlwaysEqualsTheList) {
    // Aliases differ also without regard to letter case, so every sort has one outcome.
    const Rows start = NumberedRows(8);
    Start(start);
    HistoryModel model{{start}};
    std::mt19937 random(1234);
    int fresh = 0;
    bool ascending = true;
    int checks = 0;
    auto check = [&](const std::string& what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(KeyValues(), model.Now());
        ASSERT_EQ(ModelRows(), model.Now());
        ASSERT_EQ(SendMessageW(form->lvMain->Handle(), LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(model.Now().size()));
        if (++checks % 10 == 0) {
            ASSERT_EQ(ListRows(), model.Now());
        }
        ASSERT_EQ(form->UndoName(), model.at > 0 ? model.names[model.at] : L"");
        ASSERT_EQ(form->RedoName(), model.at + 1 < model.states.size() ? model.names[model.at + 1] : L"");
        ASSERT_EQ(form->CanUndo(), model.at > 0);
        ASSERT_EQ(form->CanRedo(), model.at + 1 < model.states.size());
    };
    for (int step = 0; step < 1000; ++step) {
        Rows next = model.Now();
        const int n = static_cast<int>(next.size());
        const int row = n > 0 ? static_cast<int>(random() % static_cast<unsigned>(n)) : 0;
        auto swapped = [&](int a, int b) {
            if (a >= 0 && b < n) std::swap(next[static_cast<size_t>(a)], next[static_cast<size_t>(b)]);
            return next;
        };
        const std::wstring alias = L"new" + std::to_wstring(++fresh);
        int op = static_cast<int>(random() % 20);
        if (n > 30 && op < 3) op = 5;  // a modest list: deletions instead of additions
        if (n < 2 && op >= 3 && op < 9) op = 0;
        const std::string what = "step " + std::to_string(step) + " op " + std::to_string(op) + " row " + std::to_string(row);
        if (op < 3) {
            form->AddShortcut(alias, L"D:\\" + alias);
            next.emplace_back(alias, L"D:\\" + alias);
            model.Changed(next, qd::kStepAdd);
        } else if (op < 5) {
            form->EditShortcut(row, alias, L"E:\\" + alias);
            next[static_cast<size_t>(row)] = {alias, L"E:\\" + alias};
            model.Changed(next, qd::kStepEdit);
        } else if (op < 7) {
            Choose(row);
            form->aDeleteExecute(form->aDelete);
            next.erase(next.begin() + row);
            model.Changed(next, qd::kStepDelete);
        } else if (op == 7) {
            Choose(row);
            form->aItemUpExecute(form->aItemUp);
            model.Changed(swapped(row - 1, row), qd::kStepMoveUp);
        } else if (op == 8) {
            Choose(row);
            form->aItemDownExecute(form->aItemDown);
            model.Changed(swapped(row, row + 1), qd::kStepMoveDown);
        } else if (op == 9) {
            form->aSortExecute(form->aSort);
            std::sort(next.begin(), next.end(), [&](const Row& a, const Row& b) {
                return ascending ? tk::AsciiUpper(a.first) < tk::AsciiUpper(b.first)
                                 : tk::AsciiUpper(b.first) < tk::AsciiUpper(a.first);
            });
            ascending = !ascending;
            model.Changed(next, qd::kStepSort);
        } else if (op == 10) {
            // An entry the list has and one or two it lacks.
            const std::filesystem::path file = dir / "step.pwb";
            std::filesystem::remove(file);
            tk::TIniFile ini(file.wstring());
            Rows entries{next.empty() ? Row{alias, L"F:\\"} : next[static_cast<size_t>(row)], {alias + L"a", L"F:\\a"}};
            if (random() % 2) entries.emplace_back(alias + L"b", L"F:\\b");
            ini.WriteInteger(L"PathWarden", L"Count", static_cast<int>(entries.size()));
            for (size_t k = 0; k < entries.size(); ++k) {
                ini.WriteString(L"PathWarden", qd::AliasValueName(static_cast<int>(k)), entries[k].first);
                ini.WriteString(L"PathWarden", qd::PathValueName(static_cast<int>(k)), entries[k].second);
                if (k > 0 || next.empty()) next.push_back(entries[k]);
            }
            form->ImportFrom(file.wstring());
            model.Changed(next, qd::kStepImport);
        } else if (op < 16) {
            form->Undo();
            model.at -= model.at > 0;
        } else {
            form->Redo();
            model.at += model.at + 1 < model.states.size();
        }
        qdtest::PumpIdle();
        check(what);
        if (HasFatalFailure()) return;
    }
    ASSERT_GT(model.made, 200u);  // far more than the history holds
    // All the way back to the list and key the oldest step held started from, then forward to the
    // last list.
    while (form->CanUndo()) {
        form->Undo();
        ASSERT_GT(model.at--, 0u);
        check("undo all");
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(KeyValues(), model.states.front());
    while (form->CanRedo()) form->Redo();
    model.at = model.states.size() - 1;
    check("redo all");
    EXPECT_TRUE(errors.empty());
}

TEST_F(UndoTest, AnotherProcesssChangeEndsTheHistoryButARefreshThatFindsNoneKeepsIt) {
    struct Case {
        const char* name;
        bool outsideChange, byNotice, historyKept;
    };
    for (const Case& c : {Case{"refresh, key unchanged", false, false, true}, Case{"refresh, key changed", true, false, false},
                          Case{"notice, key changed", true, true, false}}) {
        SCOPED_TRACE(c.name);
        Start(NumberedRows(3));
        Choose(0);
        form->aDeleteExecute(form->aDelete);
        Rows shown = ModelRows();
        if (c.outsideChange) {
            shown[0].first = L"outside";
            OutsideChange({shown[0]});
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
        EXPECT_EQ(KeyValues(), c.historyKept ? NumberedRows(3) : shown);
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(UndoTest, ANoticeWhileTheDeleteQuestionIsOpenReloadsAndTheRowAskedAboutGoes) {
    const Rows r = NumberedRows(3);
    Start(r, true);
    Choose(1);
    qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
        HWND box = qdtest::WaitForSystemDialog(ui);
        if (!box) return;
        // Another process puts a row in front of the list and says so.
        OutsideChange({{L"front", L"C:\\front"}, r[0], r[1], r[2]});
        PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
        Sleep(300);
        qdtest::PressDialogButton(box, IDYES);
        qdtest::WaitUntilGone(box);
    });
    form->aDeleteExecute(form->aDelete);
    script.Join();
    const Rows expected{{L"front", L"C:\\front"}, r[0], r[2]};
    EXPECT_EQ(ListRows(), expected);
    EXPECT_EQ(KeyValues(), expected);
    form->Undo();
    EXPECT_EQ(KeyValues(), (Rows{{L"front", L"C:\\front"}, r[0], r[1], r[2]}));
    EXPECT_FALSE(form->CanUndo());
    EXPECT_TRUE(errors.empty());
}

TEST_F(UndoTest, ANoticeWhileTheEditDialogIsOpenEditsTheRowShownWhereverItNowStands) {
    const Rows r = NumberedRows(3);
    std::filesystem::create_directories(dir / "edited");
    const Row edited{L"edited", (dir / "edited").wstring()};
    struct Case {
        const char* name;
        Rows outside;  // what another process leaves in the key while the dialog is open
        Rows expected;
        std::vector<std::wstring> errors;
    };
    const Case cases[] = {
        {"a row put in front", {{L"front", L"C:\\f"}, r[0], r[1], r[2]}, {{L"front", L"C:\\f"}, r[0], edited, r[2]}, {}},
        {"the row removed", {r[0], r[2]}, {r[0], r[2]}, {qd::kEditedRowGone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errors.clear();
        Start(r);
        Choose(1);
        qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, L"增加快捷目录");
            HWND name = dialog ? qdtest::FindDescendant(dialog, L"Edit", 0) : nullptr;
            HWND path = dialog ? qdtest::FindDescendant(dialog, L"Edit", 1) : nullptr;
            if (!name || !path) return;
            OutsideChange(c.outside, true);
            PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
            Sleep(300);
            qdtest::SetWindowTextFromOutside(name, edited.first);
            qdtest::SetWindowTextFromOutside(path, edited.second);
            qdtest::PressButton(qdtest::FindDescendantByText(dialog, L"确定(&O)"));
            qdtest::WaitUntilGone(dialog);
        });
        tk::Application().Guarded([&] { form->aEditExecute(form->aEdit); });
        script.Join();
        EXPECT_EQ(ListRows(), c.expected);
        EXPECT_EQ(KeyValues(), c.expected);
        EXPECT_EQ(errors, c.errors);
    }
}

TEST_F(UndoTest, ACommandOnAListAnotherProgramChangedUnseenActsOnThatListAndUndoIsRefused) {
    // Another program changes the key and the window has not handled the notice yet (no message
    // is handled between): a move finds its row in the list the key holds and keeps the other
    // program's change, the window shows that list, and the history ends; an undo whose step no
    // longer fits the key writes nothing and says so.
    const Rows r = NumberedRows(3);
    const Row front{L"front", L"C:\\front"};
    Start(r);
    Choose(1);
    form->aDeleteExecute(form->aDelete);
    ASSERT_TRUE(form->CanUndo());
    OutsideChange({front, r[0], r[2]});
    Choose(2);
    form->aItemUpExecute(form->aItemUp);
    const Rows moved{front, r[2], r[0]};
    EXPECT_EQ(KeyValues(), moved);
    EXPECT_EQ(ListRows(), moved);
    EXPECT_EQ(form->lvMain->ItemIndex(), 1);
    EXPECT_FALSE(form->CanUndo());
    EXPECT_EQ(form->ListVersion(), qd::ParseChangeCount(key.Read(qd::kChangeCountValue)));

    form->aDeleteExecute(form->aDelete);
    ASSERT_TRUE(form->CanUndo());
    OutsideChange({{L"other", L"C:\\other"}, r[0]});
    tk::Application().Guarded([&] { form->Undo(); });
    EXPECT_EQ(errors, std::vector<std::wstring>{qd::kHistoryNoLongerFits});
    const Rows other{{L"other", L"C:\\other"}, r[0]};
    EXPECT_EQ(KeyValues(), other);
    EXPECT_EQ(ListRows(), other);
    EXPECT_FALSE(form->CanUndo());
    EXPECT_FALSE(form->CanRedo());
}

TEST_F(UndoTest, AnUndoTheKeyRefusesShowsTheErrorAndKeepsTheStepUnlessItGotPartWay) {
    const Rows r = NumberedRows(4);
    Start(r);
    Choose(0);
    form->aDeleteExecute(form->aDelete);
    {
        qdtest::ReadOnlyKey readOnly(key.Path());
        ASSERT_TRUE(readOnly.Applied());
        tk::Application().Guarded([&] { form->Undo(); });
    }
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to open key '" + key.Path() + L"' for writing"});
    EXPECT_EQ(ListRows(), (Rows{r[1], r[2], r[3]}));
    form->Undo();  // the step is still there
    EXPECT_EQ(KeyValues(), r);
    ASSERT_TRUE(form->CanRedo());

    // The redo, a rewrite of four pairs, is refused at its second row: the crash record puts the
    // key back to the list before it (here the key refuses that too, so the record stays for the
    // next start to finish), the list shows what the key holds, and the step, which still fits
    // the list, is kept.
    errors.clear();
    failWrite = L"N1";
    tk::Application().Guarded([&] { form->Redo(); });
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind(L"Failed to set data for 'N1'", 0), 0u) << errors[0];
    EXPECT_EQ(ListRows(), r);
    Rows withRecord = r;
    withRecord.push_back({L"<other values>", L""});
    EXPECT_EQ(KeyValues(), withRecord);
    EXPECT_FALSE(form->CanUndo());
    EXPECT_TRUE(form->CanRedo());
}

}  // namespace
