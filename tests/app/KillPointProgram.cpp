// The program as it runs (its main window, the real registry, its message loop), with a stop for
// the kill test: it stops for good at a chosen moment of a rewrite, after telling the test, which
// then kills it. So the moment of the kill does not depend on how fast the machine is.
//
// Environment (read by this test program only; the program itself reads none):
//   QD_TEST_KEY      the registry key of the list, below HKEY_CURRENT_USER
//   QD_TEST_BACKUPS  the backups folder
//   QD_STOP_AT       "record": just after the crash record is written; a number k: just after
//                    the k-th write of a value N<i> or P<i> once the window is up (the writes of
//                    a recovery at start do not count); absent: no stop
//   QD_STOP_EVENT    the name of the event set when the program has stopped
#include <windows.h>

#include <memory>
#include <string>

#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/win/RegistryAccessor.h"
#include "resources/forms/MainFormDesc.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Scoped.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, 1024);
    return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

std::wstring gStopAt, gStopEvent;
long gPairWrites = 0;
bool gStarted = false;

bool IsPairValue(const std::wstring& name) {
    return name.size() > 1 && (name[0] == L'N' || name[0] == L'P') && name[1] >= L'0' && name[1] <= L'9';
}

[[noreturn]] void StopHere() {
    const tk::ScopedKernelHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, gStopEvent.c_str()));
    if (event.get()) SetEvent(event.get());
    for (;;) Sleep(INFINITE);
}

// The registry accessor, counting the pair values written and stopping at the chosen one.
class StoppingAccessor : public qd::RegistryAccessor {
public:
    void WriteString(const std::wstring& name, const std::wstring& text) override {
        RegistryAccessor::WriteString(name, text);
        if (gStopAt == L"record" && name == qd::kRewriteRecordValue) StopHere();
        if (gStarted && IsPairValue(name) && std::to_wstring(++gPairWrites) == gStopAt) StopHere();
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qd::MainSettings settings = qd::MainSettings::ForThisProgram();
    settings.KeyPath = Environment(L"QD_TEST_KEY");
    settings.BackupFolder = Environment(L"QD_TEST_BACKUPS");
    if (settings.KeyPath.empty() || settings.BackupFolder.empty()) return 2;
    gStopAt = Environment(L"QD_STOP_AT");
    gStopEvent = Environment(L"QD_STOP_EVENT");
    if (!gStopAt.empty()) settings.Accessors = [] { return std::make_unique<StoppingAccessor>(); };
    tk::Application().Initialize();
    tk::Application().CreateForm<qd::TfrmMain>(nullptr, settings);
    gStarted = true;
    tk::Application().SetTitle(qd::desc::kApplicationTitle);
    tk::Application().Run();
    return 0;
}
