#include "skin/theme/FileTheme.h"

#include <system_error>
#include <vector>

#include "skin/theme/ThemePlatform.h"

TsuiFileTheme::TsuiFileTheme(tk::TComponent* owner)
    : tk::TComponent(owner), mgr_(std::make_unique<TsuiFileThemeMgr>()) {}

TsuiFileTheme::~TsuiFileTheme() = default;

namespace {

bool FileExists(const std::filesystem::path& p) {
    std::error_code ec;
    return !p.empty() && std::filesystem::is_regular_file(p, ec);
}

}  // namespace

void TsuiFileTheme::SetThemeFile(const std::filesystem::path& value) {
    const bool wasEmpty = themeFile_.empty();

    std::filesystem::path found;
    if (FileExists(value)) {
        found = value;
    } else if (value.has_filename()) {
        for (const std::filesystem::path& folder : ThemeSearchFolders()) {
            if (FileExists(folder / value.filename())) {
                found = folder / value.filename();
                break;
            }
        }
    }
    if (found.empty()) return;

    themeFile_ = found;
    Load();
    if (!ready_ || !OwnerIsForm()) return;

    // Every skinned component that uses this theme reads it again: its theme is taken away and
    // given back. A form frame that uses the theme also has its window frame recomputed.
    bool frameUsesTheme = false;
    const std::vector<tk::TComponent*> components = Owner()->Components();
    for (tk::TComponent* c : components) {
        if (c == this || c->IsDestroying()) continue;
        const auto theme = c->GetPublishedProperty("FileTheme");
        const bool usesThis = theme && std::holds_alternative<tk::TComponent*>(*theme) &&
                              std::get<tk::TComponent*>(*theme) == this;
        // A form frame is the skinned component that publishes the panel laid over it.
        if (c->PublishesProperty("FormPanel") && usesThis) frameUsesTheme = true;
        if (c->ClassName().substr(0, 4) == "Tsui" && c->PublishesProperty("FileTheme") && usesThis) {
            c->SetPublishedProperty("FileTheme", static_cast<tk::TComponent*>(nullptr));
            c->SetPublishedProperty("FileTheme", static_cast<tk::TComponent*>(this));
        }
    }
    if (frameUsesTheme && !wasEmpty) RequestFrameChange();
}

void TsuiFileTheme::SetPassword(const std::string& value) {
    password_ = value;
    if (!password_.empty()) SetThemeFile(themeFile_);
}

void TsuiFileTheme::Load() {
#ifdef _WIN32
    for (auto& b : bitmaps_) b.reset();
#endif
    ready_ = mgr_->LoadSkin(themeFile_, password_);
}

TThemeBitmap* TsuiFileTheme::GetThemeBitmap(TsuiThemeBitmap item) {
    const tk::BmpImage* image = mgr_->GetBitmap(item);
#ifdef _WIN32
    if (!image) return nullptr;
    auto& slot = bitmaps_[static_cast<std::size_t>(item)];
    if (!slot) slot = std::make_unique<tk::TBitmap>(*image);
    return slot.get();
#else
    return const_cast<tk::BmpImage*>(image);
#endif
}

void TsuiFileTheme::CopyThemeBitmap(TsuiThemeBitmap item, TThemeBitmap* dest, int index, int count) {
    if (!dest) return;
    const tk::BmpImage* image = mgr_->GetBitmap(item);
    tk::BmpImage result;
    if (image) result = (index != 0 && count != 0) ? tk::ExtractPart(*image, count, index) : *image;
#ifdef _WIN32
    dest->Assign(result);
#else
    *dest = std::move(result);
#endif
}

bool TsuiFileTheme::OwnerIsForm() const { return skin::IsFormComponent(Owner()); }

void TsuiFileTheme::RequestFrameChange() { skin::RequestFrameChange(Owner()); }

std::optional<TsuiFileTheme*> ThemeFromProperty(const tk::PropertyValue& value) {
    if (!std::holds_alternative<tk::TComponent*>(value)) return std::nullopt;
    tk::TComponent* component = std::get<tk::TComponent*>(value);
    auto* theme = dynamic_cast<TsuiFileTheme*>(component);
    if (component && !theme) return std::nullopt;
    return theme;
}

std::optional<TsuiUIStyle> StyleFromProperty(const tk::PropertyValue& value) {
    if (!std::holds_alternative<int>(value)) return std::nullopt;
    const int v = std::get<int>(value);
    if (v < 0 || v > static_cast<int>(TsuiUIStyle::BlueGlass)) return std::nullopt;
    return static_cast<TsuiUIStyle>(v);
}

bool ResolveThemeSource(const TsuiFileTheme* theme, TsuiUIStyle style, TsuiUIStyle& out) {
    out = style;
    if (style != TsuiUIStyle::FromThemeFile) return false;
    if (!theme || !theme->Ready()) {
        out = TsuiUIStyle::DeepBlue;
        return false;
    }
    return true;
}

std::vector<std::filesystem::path> ThemeSearchFolders() { return skin::ThemeSearchFolders(); }
