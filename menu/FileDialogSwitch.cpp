#include "menu/FileDialogSwitch.h"

#include <commdlg.h>

#include <chrono>
#include <initializer_list>
#include <utility>

#include "app/Global.h"
#include "menu/FolderPickerSwitch.h"
#include "menu/OtherProcess.h"
#include "toolkit/win/FolderProbe.h"

namespace qd::menu {

namespace {

// The longest folder path asked of a dialog, in characters.
constexpr std::size_t kMaxFolderChars = 32768;
// How long a dialog may take to report the folder it was taken to.
constexpr int kSettleMs = 1000;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

struct ChildSearch {
    int id;
    std::initializer_list<const wchar_t*> classes;
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    const std::wstring name = ClassOf(window);
    for (const wchar_t* wanted : search->classes)
        if (name == wanted) {
            search->found = window;
            return FALSE;
        }
    return TRUE;
}

// The first descendant (the outermost, as children are searched after their parent) with the
// identifier and one of the classes.
HWND Descendant(HWND parent, int id, std::initializer_list<const wchar_t*> classes) {
    ChildSearch search{id, classes};
    EnumChildWindows(parent, &FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindClass(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<const wchar_t*, HWND>*>(param);
    if (ClassOf(window) != search->first) return TRUE;
    search->second = window;
    return FALSE;
}

bool HasDescendantOfClass(HWND parent, const wchar_t* className) {
    std::pair<const wchar_t*, HWND> search{className, nullptr};
    EnumChildWindows(parent, &FindClass, reinterpret_cast<LPARAM>(&search));
    return search.second != nullptr;
}

// Whether the field, or the edit inside it (a combo box's), hides what is typed.
bool IsPasswordField(HWND field) {
    auto hides = [](HWND w) { return ClassOf(w) == L"Edit" && (GetWindowLongW(w, GWL_STYLE) & ES_PASSWORD) != 0; };
    if (hides(field)) return true;
    std::pair<const wchar_t*, HWND> search{L"Edit", nullptr};
    EnumChildWindows(field, &FindClass, reinterpret_cast<LPARAM>(&search));
    return search.second && hides(search.second);
}

// Puts the file name back into the field at the end of the scope, however the switch ends.
class NamePutBack {
public:
    NamePutBack(HWND field, std::wstring name) : field_(field), name_(std::move(name)) {}
    ~NamePutBack() {
        if (IsWindow(field_)) SetForeignText(field_, name_);
    }
    NamePutBack(const NamePutBack&) = delete;
    NamePutBack& operator=(const NamePutBack&) = delete;

private:
    HWND field_;
    std::wstring name_;
};

// Waits until the dialog reports the folder, for a dialog that changes folders after answering
// the press; a dialog that does not report its folder is not waited for.
void WaitForFolder(HWND dialog, const std::wstring& folder) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSettleMs);
    std::wstring shown;
    while (FolderOfFileDialog(dialog, shown) && !SameFolder(shown, folder) && std::chrono::steady_clock::now() < end)
        Sleep(20);
}

}  // namespace

HWND FileNameField(HWND dialog) {
    if (HWND combo = Descendant(dialog, kFileNameCombo, {L"ComboBoxEx32", L"ComboBox", L"Edit"})) return combo;
    return Descendant(dialog, kFileNameEdit, {L"Edit"});
}

WindowFacts FactsOf(HWND window) {
    WindowFacts facts;
    facts.className = ClassOf(window);
    facts.enabled = IsWindowEnabled(window) != FALSE;
    if (facts.className != L"#32770") return facts;
    HWND field = FileNameField(window);
    facts.nameField = field != nullptr;
    facts.passwordField = field && IsPasswordField(field);
    facts.lookInList = GetDlgItem(window, kLookInList) != nullptr;
    HWND types = Descendant(window, kFileTypeList, {L"ComboBox"});
    facts.fileTypesShown = types && IsWindowVisible(types);
    facts.filesListed = HasDescendantOfClass(window, L"SHELLDLL_DefView") ||
                        Descendant(window, kOldFileList, {L"ListBox"}) != nullptr;
    facts.askingThread = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    facts.folderTree = BrowseFolderTree(window) != nullptr;
    return facts;
}

bool FolderOfFileDialog(HWND dialog, std::wstring& folder) {
    const RemoteProcess process(dialog);
    // Room for the longest path as UTF-16; an ANSI dialog writes at most as many bytes as asked.
    RemoteBuffer buffer(process, kMaxFolderChars * sizeof(wchar_t));
    if (!buffer.Valid()) return false;
    LRESULT length = 0;
    std::wstring text;
    if (!buffer.Send(dialog, CDM_GETFOLDERPATH, kMaxFolderChars, length) ||
        !TextFromAnswer(buffer.ReadAll(), length, text) || DialogFolderText(text).empty() ||
        tk::TestFolderWithin(text, kAnswerTimeoutMs) == tk::TFolderState::Missing)
        return false;
    folder = std::move(text);
    return true;
}

bool SwitchFileDialog(HWND dialog, const std::wstring& folder) {
    // Whoever calls: nothing is typed into a window that is not a file dialog.
    if (KindOf(FactsOf(dialog)) != FrontKind::FileDialog) return false;
    const std::wstring text = DialogFolderText(folder);
    HWND field = FileNameField(dialog);
    if (text.empty() || !field) return false;
    std::wstring typed;
    if (!ForeignText(field, typed)) return false;
    const NamePutBack putBack(field, typed);
    std::wstring held;
    if (!SetForeignText(field, text) || !ForeignText(field, held) || held != text) return false;
    LRESULT answer = 0;
    if (!SendWithin(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                    reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)), answer, kPressTimeoutMs))
        return false;
    WaitForFolder(dialog, folder);
    return true;
}

}  // namespace qd::menu
