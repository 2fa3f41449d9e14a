// The theme manager: holds at most one skin reader and turns theme items into record lookups.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "skin/reader/SkinFileReader.h"
#include "skin/theme/ThemeItems.h"
#include "toolkit/BmpImage.h"

class TsuiFileThemeMgr {
public:
    TsuiFileThemeMgr();
    ~TsuiFileThemeMgr();
    TsuiFileThemeMgr(const TsuiFileThemeMgr&) = delete;
    TsuiFileThemeMgr& operator=(const TsuiFileThemeMgr&) = delete;

    // Loads a skin file. A name at which no file exists changes nothing and gives false. Otherwise
    // the current skin is dropped first; the result says whether the new one loaded. Never throws.
    bool LoadSkin(const std::filesystem::path& FileName, std::string_view Password);

    // Lookups with the sentinels of an empty manager: nil, 0, 0, false. With a skin: nil, -1, -1,
    // false for items the skin lacks. Integers come held to +-kThemeIntLimit (see ClampThemeInt).
    const tk::BmpImage* GetBitmap(TsuiThemeBitmap item) const;
    std::int32_t GetColor(TsuiThemeColor item) const;
    std::int32_t GetInt(TsuiThemeInt item) const;
    bool GetBool(TsuiThemeBool item) const;

    const Tsk2SkinFileReader* Reader() const { return reader_.get(); }

private:
    std::unique_ptr<Tsk2SkinFileReader> reader_;
};
