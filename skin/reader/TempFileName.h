// A fresh temporary file name: the system's temporary folder plus a newly generated GUID in its
// 38-character text form with braces, no extension.
#pragma once

#include <filesystem>
#include <string>

namespace skin {

std::wstring NewGuidText();
std::filesystem::path NewTempFileName();

}  // namespace skin
