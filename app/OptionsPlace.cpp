#include "app/OptionsPlace.h"

namespace qd {

OptionsPlace ChooseOptionsPlace(const std::wstring& programFolder, bool besideExists, bool folderWritable,
                                const std::wstring& appData) {
    const std::wstring beside = programFolder.empty() ? std::wstring(L"options.ini") : programFolder + L"\\options.ini";
    if (folderWritable || appData.empty()) return {beside, false, false};
    return {appData + L"\\Quiverdir\\options.ini", true, besideExists};
}

}  // namespace qd
