// What the tests of the main window's folder check share: a question for the probe that hangs on
// network paths until the test lets it go, and the main window started on a private key with rows
// written there first.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/Main.h"
#include "app/ShortcutStore.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/FolderProbe.h"
#include "toolkit/win/Registry.h"

namespace foldertest {

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

// The question the probe asks: a network path ("\\server\...") waits until the gate opens, as a
// server that does not answer keeps the system's call waiting; any other path is asked of the system.
// A question asked on the window's thread is counted and answered at once, so that a check that
// asks there fails its test rather than hanging it.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    int networkCalls = 0;
    int windowThreadCalls = 0;
    const DWORD windowThread = GetCurrentThreadId();

    void Open() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
    int NetworkCalls() {
        std::lock_guard lock(mutex);
        return networkCalls;
    }
    int WindowThreadCalls() {
        std::lock_guard lock(mutex);
        return windowThreadCalls;
    }
    tk::TFolderState Ask(const std::wstring& path) {
        if (GetCurrentThreadId() == windowThread) {
            std::lock_guard lock(mutex);
            ++windowThreadCalls;
            return tk::TFolderState::Unknown;
        }
        if (!path.starts_with(L"\\\\")) return tk::TestFolder(path);
        std::unique_lock lock(mutex);
        ++networkCalls;
        opened.wait(lock, [this] { return open; });
        return tk::TFolderState::Present;
    }
};

class MainWindowWithRows {
public:
    ~MainWindowWithRows() {
        tk::Application().SetMainForm(nullptr);
        form.reset();
        gate->Open();
    }
    // Writes the rows to the key (one opening for all), then makes the main window, which loads
    // them and starts their check. The gate stands in for the system unless realQuestion.
    void Start(const Rows& rows, bool realQuestion = false) {
        {
            tk::TRegistry reg;
            reg.OpenKey(key.Path(), true);
            for (size_t i = 0; i < rows.size(); ++i) {
                reg.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
                reg.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
            }
            reg.WriteString(L"Setting", L"C:\\Tools\\Quiverdir.exe");
        }
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
        qd::MainSettings s{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(), L"C:\\windows", L""};
        if (!realQuestion) s.FolderProbe.Test = [g = gate](const std::wstring& path) { return g->Ask(path); };
        form = std::make_unique<qd::TfrmMain>(nullptr, s);
        tk::Application().SetMainForm(form.get());
    }
    // Handles messages until every path has been answered.
    bool WaitForCheck(int timeoutMs = 10000) {
        return qdtest::PumpUntil([&] { return form->Folders().Pending() == 0; }, timeoutMs);
    }
    Rows ModelRows() const {
        Rows rows;
        for (const qd::ShortcutRow& r : form->Model().Rows()) rows.emplace_back(r.Alias, r.Path);
        return rows;
    }
    // The rows as the key holds them.
    Rows KeyRows() const {
        Rows rows;
        for (int i = 0; key.Has(qd::AliasValueName(i)) || key.Has(qd::PathValueName(i)); ++i)
            rows.emplace_back(key.Read(qd::AliasValueName(i)), key.Read(qd::PathValueName(i)));
        return rows;
    }
    // A folder that exists, under the test's own folder.
    std::wstring Folder(const wchar_t* name) const {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }
    std::wstring Gone(const wchar_t* name) const { return (dir / L"gone" / name).wstring(); }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();
    std::unique_ptr<qd::TfrmMain> form;
};

}  // namespace foldertest
