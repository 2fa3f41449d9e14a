// Data objects as Explorer offers files it drags or copies: a file list (CF_HDROP) with the
// preferred drop effect beside it; or, for data that holds no files, a text alone. For tests of
// drops and pastes, from this process or from a drag source process.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace qdtest {

// A new global memory block holding a file list of the names (DROPFILES, UTF-16), or nullptr.
HGLOBAL NewFileList(const std::vector<std::wstring>& names);

// New data objects with one reference, which the caller releases.
IDataObject* NewFileDataObject(const std::vector<std::wstring>& names);
IDataObject* NewTextDataObject(const std::wstring& text);

}  // namespace qdtest
