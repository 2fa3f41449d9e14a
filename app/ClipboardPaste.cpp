#include "app/ClipboardPaste.h"

#include <windows.h>

#include "app/FolderAdd.h"
#include "app/Global.h"
#include "app/Main.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Clipboard.h"

namespace qd {

namespace {

bool Down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void TfrmMain::PasteFolders() {
    const tk::ClipboardFiles clipboard = tk::ReadClipboardFiles(Handle());
    const std::vector<std::wstring> paths = clipboard.HasFileList ? clipboard.FileNames
                                            : clipboard.HasText    ? PastedPaths(clipboard.Text)
                                                                   : std::vector<std::wstring>();
    if (paths.empty()) {
        tk::Application().ShowMessageBox(kClipboardHoldsNoFolder, kMessageCaption, MB_OK | MB_ICONSTOP);
        return;
    }
    AddFolders(paths, kStepPaste);
}

PasteKey::PasteKey(TfrmMain& form)
    : hook_(tk::Application().AddMessageHook([&form](MSG& msg) {
          // The key is taken before it reaches the list, which would search for a row by it.
          if (msg.message != WM_KEYDOWN || msg.wParam != 'V' || !form.lvMain->HandleAllocated() ||
              msg.hwnd != form.lvMain->Handle() || !Down(VK_CONTROL) || Down(VK_SHIFT) || Down(VK_MENU))
              return false;
          tk::Application().Guarded([&form] { form.PasteFolders(); });
          return true;
      })) {}

PasteKey::~PasteKey() { tk::Application().RemoveMessageHook(hook_); }

}  // namespace qd
