// The main window for the tests of its folder check: rows written to a private key first (one
// opening for all), then the window made, which loads them and starts their check, with the
// probe's question in the hands of a gate (tests/support/FolderGate.h) unless the system's own is
// wanted.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Main.h"
#include "list/ShortcutStore.h"
#include "tests/support/FolderGate.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"

namespace foldertest {

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

class MainWindowWithRows {
public:
    ~MainWindowWithRows() {
        tk::Application().SetMainForm(nullptr);
        form.reset();
        gate->Open();
    }
    void Start(const Rows& rows, bool systemQuestion = false) {
        {
            tk::TRegistry reg;
            reg.OpenKey(key.Path(), true);
            for (size_t i = 0; i < rows.size(); ++i) {
                reg.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
                reg.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
            }
        }
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
        qd::MainSettings s{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(), L"C:\\windows", L""};
        if (!systemQuestion) s.FolderProbe.Test = [g = gate](const std::wstring& path) { return g->Ask(path); };
        form = std::make_unique<qd::TfrmMain>(nullptr, s);
        tk::Application().SetMainForm(form.get());
    }
    bool WaitForCheck() {
        return qdtest::PumpUntil([&] { return form->Folders().Pending() == 0; }, 10000);
    }
    Rows ModelRows() const {
        Rows rows;
        for (const qd::ShortcutRow& r : form->Model().Rows()) rows.emplace_back(r.Alias, r.Path);
        return rows;
    }
    Rows KeyRows() const {
        Rows rows;
        for (int i = 0; key.Has(qd::AliasValueName(i)) || key.Has(qd::PathValueName(i)); ++i)
            rows.emplace_back(key.Read(qd::AliasValueName(i)), key.Read(qd::PathValueName(i)));
        return rows;
    }
    // A folder that exists, and one that does not, under the test's own folder.
    std::wstring Folder(const wchar_t* name) const {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }
    std::wstring Gone(const wchar_t* name) const { return (dir / L"gone" / name).wstring(); }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::shared_ptr<qdtest::FolderGate> gate = std::make_shared<qdtest::FolderGate>();
    std::unique_ptr<qd::TfrmMain> form;
};

}  // namespace foldertest
