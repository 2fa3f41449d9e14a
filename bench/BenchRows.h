// Rows for the list benchmarks that run without a window: aliases and paths as lists hold them,
// Chinese and Latin names, folders some levels deep.
#pragma once

#include <string>
#include <vector>

#include "list/ShortcutModel.h"

namespace qdbench {

// count rows; every sixth alias from the fifth on is sixthOfAliases (the text a benchmark looks for), each
// with the row's number.
inline std::vector<qd::ShortcutRow> MixedRows(int count, const wchar_t* sixthOfAliases) {
    const wchar_t* const aliases[] = {L"项目文档", L"Downloads", L"照片备份", L"Work Reports", sixthOfAliases, L"Source"};
    const wchar_t* const folders[] = {L"D:\\资料\\项目\\", L"C:\\Users\\Someone\\Documents\\", L"\\\\fileserver\\share\\team\\",
                                      L"E:\\Backup\\2024\\照片\\"};
    std::vector<qd::ShortcutRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::wstring n = std::to_wstring(i);
        rows.push_back({std::wstring(aliases[i % 6]) + L" " + n, std::wstring(folders[i % 4]) + L"Folder " + n + L"\\Sub", false, false});
    }
    return rows;
}

}  // namespace qdbench
