#include "toolkit/win/FileDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "toolkit/win/Application.h"
#include "toolkit/win/Form.h"

namespace tk {

std::wstring FilterList(const std::wstring& filter) {
    std::wstring list = filter;
    for (wchar_t& c : list)
        if (c == L'|') c = L'\0';
    list += L'\0';
    list += L'\0';
    return list;
}

bool TFileDialog::Execute() {
    // Room for long paths; the dialog says when a name does not fit.
    std::vector<wchar_t> name(32768, L'\0');
    fileName_.copy(name.data(), std::min(fileName_.size(), name.size() - 1));
    const std::wstring filters = FilterList(filter_);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetActiveWindow();
    if (!ofn.hwndOwner && Application().MainForm() && Application().MainForm()->HandleAllocated())
        ofn.hwndOwner = Application().MainForm()->Handle();
    ofn.lpstrFilter = filter_.empty() ? nullptr : filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    if (!Run(&ofn)) return false;
    fileName_ = name.data();
    return true;
}

bool TOpenDialog::Run(void* openFileName) { return GetOpenFileNameW(static_cast<OPENFILENAMEW*>(openFileName)) != 0; }

bool TSaveDialog::Run(void* openFileName) { return GetSaveFileNameW(static_cast<OPENFILENAMEW*>(openFileName)) != 0; }

}  // namespace tk
