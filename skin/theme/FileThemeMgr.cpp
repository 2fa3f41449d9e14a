#include "skin/theme/FileThemeMgr.h"

#include <system_error>

TsuiFileThemeMgr::TsuiFileThemeMgr() = default;
TsuiFileThemeMgr::~TsuiFileThemeMgr() = default;

bool TsuiFileThemeMgr::LoadSkin(const std::filesystem::path& FileName, std::string_view Password) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FileName, ec)) return false;
    reader_.reset();  // a failed load never leaves an older skin behind
    try {
        auto reader = std::make_unique<Tsk2SkinFileReader>(FileName, Password);
        if (!reader->Loaded()) return false;
        reader_ = std::move(reader);
        return true;
    } catch (...) {
        // Damaged or foreign files, read errors, undecodable bitmaps: the theme is simply not ready.
        return false;
    }
}

const tk::BmpImage* TsuiFileThemeMgr::GetBitmap(TsuiThemeBitmap item) const {
    return reader_ ? reader_->FindBitmap(ThemeItemName(item)) : nullptr;
}

std::int32_t TsuiFileThemeMgr::GetColor(TsuiThemeColor item) const {
    return reader_ ? reader_->ReadInteger(ThemeItemName(item)) : 0;
}

std::int32_t TsuiFileThemeMgr::GetInt(TsuiThemeInt item) const {
    return reader_ ? ClampThemeInt(reader_->ReadInteger(ThemeItemName(item))) : 0;
}

bool TsuiFileThemeMgr::GetBool(TsuiThemeBool item) const {
    return reader_ ? reader_->ReadBoolean(ThemeItemName(item)) : false;
}
