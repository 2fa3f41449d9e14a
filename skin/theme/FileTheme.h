// The file theme: a non-visual component a form owns. It names a skin file and its password,
// loads the skin through its manager and hands the skin's colours, bitmaps, integers and flags to
// the skinned components of the form.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "skin/theme/FileThemeMgr.h"
#include "skin/theme/ThemeItems.h"
#include "toolkit/BmpImage.h"
#include "toolkit/Component.h"

#ifdef _WIN32
#include "toolkit/win/Bitmap.h"
// The bitmap object components draw with.
using TThemeBitmap = tk::TBitmap;
#else
using TThemeBitmap = tk::BmpImage;
#endif

class TsuiFileTheme : public tk::TComponent {
public:
    explicit TsuiFileTheme(tk::TComponent* owner);
    ~TsuiFileTheme() override;
    std::string_view ClassName() const override { return "TsuiFileTheme"; }

    const std::filesystem::path& ThemeFile() const { return themeFile_; }
    // Resolves the name (as given, then beside the program, in the Windows folder, in the system
    // folder), loads the skin found and, after a successful load, has every skinned component of
    // the owner form that uses this theme read it again. A name found nowhere changes nothing.
    void SetThemeFile(const std::filesystem::path& value);

    const std::string& Password() const { return password_; }
    // Stores the password; a non-empty one reloads the current file with it.
    void SetPassword(const std::string& value);

    bool Ready() const { return ready_; }
    void SetReady(bool) {}  // read-only in effect: assigning does nothing

    // The theme's own bitmap of the item (valid until the next load or the theme's end), or nullptr.
    TThemeBitmap* GetThemeBitmap(TsuiThemeBitmap item);
    // Part index (from 1) of count equal-width parts of the item's bitmap when both are non-zero,
    // else the whole bitmap; an empty destination when the skin lacks the bitmap.
    void CopyThemeBitmap(TsuiThemeBitmap item, TThemeBitmap* dest, int index = 0, int count = 0);
    // -1 for records the loaded skin lacks, 0 when no skin is loaded. Integers are held to
    // +-kThemeIntLimit.
    std::int32_t GetThemeColor(TsuiThemeColor item) const { return mgr_->GetColor(item); }
    std::int32_t GetThemeInt(TsuiThemeInt item) const { return mgr_->GetInt(item); }
    // false when the record is missing or no skin is loaded.
    bool GetThemeBool(TsuiThemeBool item) const { return mgr_->GetBool(item); }

    const TsuiFileThemeMgr& Manager() const { return *mgr_; }

protected:
    // Whether the owner is a form (only then are its components re-assigned), and the request that
    // makes the owner form's window recompute and repaint its frame. Virtual for tests.
    virtual bool OwnerIsForm() const;
    virtual void RequestFrameChange();

private:
    void Load();

    std::unique_ptr<TsuiFileThemeMgr> mgr_;
    std::filesystem::path themeFile_;
    bool ready_ = false;
    std::string password_;
#ifdef _WIN32
    // Bitmaps handed out by GetThemeBitmap, made on first request from the reader's images.
    std::array<std::unique_ptr<tk::TBitmap>, kThemeBitmapCount> bitmaps_;
#endif
};

// Whether a component with the given style and theme takes its looks from the theme (true), or
// from the built-in style placed in out (false; FromThemeFile without a ready theme is DeepBlue).
bool ResolveThemeSource(const TsuiFileTheme* theme, TsuiUIStyle style, TsuiUIStyle& out);

// What a value given to a skinned component's published FileTheme or UIStyle names: the theme
// (nullptr for none) or the style; nullopt for a value of the wrong kind, which changes nothing.
std::optional<TsuiFileTheme*> ThemeFromProperty(const tk::PropertyValue& value);
std::optional<TsuiUIStyle> StyleFromProperty(const tk::PropertyValue& value);

// Hands a published FileTheme or UIStyle value to a skinned component's SetFileTheme or
// SetUIStyle: true when taken, false for a value of the wrong kind; nullopt for any other name.
template <class Component>
std::optional<bool> SetThemeOrStyleProperty(Component& component, std::string_view name, const tk::PropertyValue& value) {
    if (name == "FileTheme") {
        const auto theme = ThemeFromProperty(value);
        if (theme) component.SetFileTheme(*theme);
        return theme.has_value();
    }
    if (name == "UIStyle") {
        const auto style = StyleFromProperty(value);
        if (style) component.SetUIStyle(*style);
        return style.has_value();
    }
    return std::nullopt;
}

// Where a theme file name is looked for after the name itself: the program's folder, the Windows
// folder and the system folder (those that exist on this platform).
std::vector<std::filesystem::path> ThemeSearchFolders();
