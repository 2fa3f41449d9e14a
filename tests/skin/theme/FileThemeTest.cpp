// The file theme and its manager: name resolution, loading and reloading, lookups with their
// sentinels, bitmap parts, and the re-assignment of skinned components after a load.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>

#include "skin/theme/FileTheme.h"
#include "tests/skin/reader/SkinTestFiles.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include "toolkit/win/Form.h"
#endif

namespace {

using skin::SkinRecordInput;
namespace fs = std::filesystem;

int WidthOf(const TThemeBitmap& b) {
#ifdef _WIN32
    return b.Width();
#else
    return b.width;
#endif
}
int HeightOf(const TThemeBitmap& b) {
#ifdef _WIN32
    return b.Height();
#else
    return b.height;
#endif
}
// Pixel as 0x00RRGGBB.
std::uint32_t PixelOf(const TThemeBitmap& b, int x, int y) {
#ifdef _WIN32
    return tk::ColorToPixel(b.GetPixel(x, y));
#else
    return b.Pixel(x, y);
#endif
}

std::vector<SkinRecordInput> ThemeRecords(std::int32_t formColor = 0xE0E0E0) {
    return {
        SkinRecordInput::Integer("SKIN2_FORMCOLOR", formColor),
        SkinRecordInput::Integer("skin2_transcolor", 0xFF00FF),
        SkinRecordInput::Integer("SKIN2_TITLEBARBUTTONPOSY", 6),
        SkinRecordInput::Boolean("SKIN2_TITLEFIVESECT", 1),
        SkinRecordInput::Bitmap("SKIN2_TITLEBUTTONS", tk::EncodeBmp24(qdtest::GradientImage(100, 4, 9))),
    };
}

// A component of any class name that publishes FileTheme (and, as a form frame does, FormPanel)
// and records what it is given.
class Probe : public tk::TComponent {
public:
    Probe(tk::TComponent* owner, std::string className, bool publishes = true, bool frame = false)
        : tk::TComponent(owner), className_(std::move(className)), publishes_(publishes), frame_(frame) {}
    std::string_view ClassName() const override { return className_; }
    bool PublishesProperty(std::string_view name) const override {
        return publishes_ && (name == "FileTheme" || (frame_ && name == "FormPanel"));
    }
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override {
        if (name != "FileTheme") return std::nullopt;
        return tk::PropertyValue(theme);
    }
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) override {
        if (name != "FileTheme" || !publishes_) return false;
        theme = std::get<tk::TComponent*>(value);
        history.push_back(theme);
        return true;
    }
    tk::TComponent* theme = nullptr;
    std::vector<tk::TComponent*> history;

private:
    std::string className_;
    bool publishes_;
    bool frame_;
};

// A theme that counts its frame-changed requests; natively it also takes its owner for a form.
class CountingTheme : public TsuiFileTheme {
public:
    using TsuiFileTheme::TsuiFileTheme;
    int frameChanges = 0;

protected:
#ifndef _WIN32
    bool OwnerIsForm() const override { return true; }
#endif
    void RequestFrameChange() override {
        ++frameChanges;
        TsuiFileTheme::RequestFrameChange();
    }
};

class ThemeTest : public ::testing::Test {
protected:
    qdtest::TempDir dir;
    fs::path good = dir / "good.ssk";
    fs::path other = dir / "other.ssk";
    fs::path damaged = dir / "damaged.ssk";
    fs::path locked = dir / "locked.ssk";

    void SetUp() override {
        qdtest::WriteFile(good, qdtest::SkinArchive(ThemeRecords()));
        qdtest::WriteFile(other, qdtest::SkinArchive(ThemeRecords(0x123456)));
        skin::Bytes bad = qdtest::SkinArchive(ThemeRecords());
        bad[0] = 'P';
        qdtest::WriteFile(damaged, bad);
        qdtest::WriteFile(locked, qdtest::SkinArchive(ThemeRecords(0x00ABCDEF), "pw"));
    }
};

TEST_F(ThemeTest, LookupsAndTheirSentinels) {
    TsuiFileTheme theme(nullptr);
    EXPECT_FALSE(theme.Ready());
    EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), 0);
    EXPECT_EQ(theme.GetThemeInt(SKIN2_TITLEBARBUTTONPOSY), 0);
    EXPECT_FALSE(theme.GetThemeBool(SKIN2_TITLEFIVESECT));
    EXPECT_EQ(theme.GetThemeBitmap(SKIN2_TITLEBUTTONS), nullptr);

    theme.SetThemeFile(good);
    ASSERT_TRUE(theme.Ready());
    EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), 0xE0E0E0);
    EXPECT_EQ(theme.GetThemeColor(SKIN2_TRANSCOLOR), 0xFF00FF);  // names compare without case
    EXPECT_EQ(theme.GetThemeColor(SKIN2_MENUITEMCOLOR), -1);
    EXPECT_EQ(theme.GetThemeInt(SKIN2_TITLEBARBUTTONPOSY), 6);
    EXPECT_EQ(theme.GetThemeInt(SKIN2_TITLEBARICONPOSX), -1);
    EXPECT_TRUE(theme.GetThemeBool(SKIN2_TITLEFIVESECT));
    EXPECT_FALSE(theme.GetThemeBool(SKIN2_TITLEBTNTRANS));
    EXPECT_EQ(theme.GetThemeBitmap(SKIN2_TITLEBAR1), nullptr);
    TThemeBitmap* strip = theme.GetThemeBitmap(SKIN2_TITLEBUTTONS);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(WidthOf(*strip), 100);
    EXPECT_EQ(strip, theme.GetThemeBitmap(SKIN2_TITLEBUTTONS));  // the theme's own object
}

// Every integer record at the edges of its 4 bytes comes out of the theme within the range the
// components' geometry works in; ordinary values and the "missing" -1 come out as they are.
TEST_F(ThemeTest, IntegerRecordsAreHeldToThePictureRange) {
    struct Case { std::int32_t stored, read; };
    const Case cases[] = {{INT32_MIN, -16384}, {-16385, -16384}, {-16384, -16384}, {-1, -1}, {0, 0},
                          {27, 27}, {16384, 16384}, {16385, 16384}, {INT32_MAX, 16384}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        std::vector<SkinRecordInput> records;
        for (int item = 0; item < kThemeIntCount; ++item)
            records.push_back(SkinRecordInput::Integer(std::string(ThemeItemName(TsuiThemeInt(item))), c.stored));
        records.push_back(SkinRecordInput::Integer("SKIN2_FORMCOLOR", c.stored));
        const fs::path file = dir / "extreme.ssk";
        qdtest::WriteFile(file, qdtest::SkinArchive(records));
        TsuiFileTheme theme(nullptr);
        theme.SetThemeFile(file);
        ASSERT_TRUE(theme.Ready());
        for (int item = 0; item < kThemeIntCount; ++item) EXPECT_EQ(theme.GetThemeInt(TsuiThemeInt(item)), c.read) << item;
        EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), c.stored);  // colours are no positions
    }
}

TEST_F(ThemeTest, CopyThemeBitmapCutsPartsOrCopiesWholeOrEmpties) {
    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(good);
    TThemeBitmap part;
    theme.CopyThemeBitmap(SKIN2_TITLEBUTTONS, &part, 3, 3);
    EXPECT_EQ(WidthOf(part), 33);
    EXPECT_EQ(HeightOf(part), 4);
    EXPECT_EQ(PixelOf(part, 0, 1), (67u << 16) | (1u << 8) | 9u);  // remainder skipped at the left
    theme.CopyThemeBitmap(SKIN2_TITLEBUTTONS, &part, 0, 18);
    EXPECT_EQ(WidthOf(part), 100);
    theme.CopyThemeBitmap(SKIN2_TITLEBAR2, &part, 1, 3);
    EXPECT_EQ(WidthOf(part), 0);
}

TEST_F(ThemeTest, NameFoundNowhereChangesNothingAndFailedLoadDropsTheOldSkin) {
    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(good);
    theme.SetThemeFile(dir / "no-such-skin-anywhere.ssk");
    EXPECT_EQ(theme.ThemeFile(), good);
    EXPECT_TRUE(theme.Ready());

    theme.SetThemeFile(damaged);
    EXPECT_EQ(theme.ThemeFile(), damaged);
    EXPECT_FALSE(theme.Ready());
    EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), 0);  // not the earlier skin's value
    EXPECT_EQ(theme.GetThemeBitmap(SKIN2_TITLEBUTTONS), nullptr);
}

TEST_F(ThemeTest, PasswordReloadsOnlyWhenNotEmpty) {
    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(locked);
    EXPECT_FALSE(theme.Ready());
    theme.SetPassword("pw");
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), 0x00ABCDEF);

    qdtest::WriteFile(locked, qdtest::SkinArchive(ThemeRecords(0x111111), "pw"));
    theme.SetPassword("");
    EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), 0x00ABCDEF);  // no reload
    theme.SetPassword("pw");
    EXPECT_EQ(theme.GetThemeColor(SKIN2_FORMCOLOR), 0x111111);
}

TEST_F(ThemeTest, BareNameIsFoundBesideTheProgramFromAnotherFolder) {
    const std::vector<fs::path> folders = ThemeSearchFolders();
    ASSERT_FALSE(folders.empty());
    const std::wstring name = qdtest::UniqueName(L"beside") + L".ssk";
    const fs::path beside = folders.front() / name;
    qdtest::WriteFile(beside, qdtest::SkinArchive(ThemeRecords()));
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());

    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(fs::path(L"elsewhere") / name);
    fs::current_path(saved);
    fs::remove(beside);
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(theme.ThemeFile(), beside);
}

TEST_F(ThemeTest, SuccessfulLoadReassignsOnlyTsuiComponentsUsingTheTheme) {
#ifdef _WIN32
    tk::TForm owner(nullptr);
#else
    tk::TComponent owner(nullptr);
#endif
    auto* theme = new CountingTheme(&owner);
    auto* otherTheme = new TsuiFileTheme(&owner);
    // The frame is known by what it publishes, whatever its class is called.
    auto* frame = new Probe(&owner, "TsuiFormOfMyOwn", true, true);
    auto* bar = new Probe(&owner, "TsuiToolBar");
    auto* flat = new Probe(&owner, "TFlatButton");
    auto* lower = new Probe(&owner, "tsuiMenu");
    auto* elsewhere = new Probe(&owner, "TsuiTitleBar");
    frame->theme = theme;
    bar->theme = theme;
    flat->theme = theme;
    lower->theme = theme;
    elsewhere->theme = otherTheme;

    theme->SetThemeFile(good);  // first load: re-assigned, but no frame-changed request
    const std::vector<tk::TComponent*> reassigned = {nullptr, theme};
    EXPECT_EQ(frame->history, reassigned);
    EXPECT_EQ(bar->history, reassigned);
    EXPECT_TRUE(flat->history.empty());
    EXPECT_TRUE(lower->history.empty());
    EXPECT_TRUE(elsewhere->history.empty());
    EXPECT_EQ(theme->frameChanges, 0);

    theme->SetThemeFile(other);  // replacing a skin asks the frame to recompute
    EXPECT_EQ(bar->history.size(), 4u);
    EXPECT_EQ(theme->frameChanges, 1);

    theme->SetThemeFile(damaged);  // a failed load tells nobody
    theme->SetThemeFile(dir / "missing.ssk");
    EXPECT_EQ(bar->history.size(), 4u);
    EXPECT_EQ(theme->frameChanges, 1);

    frame->theme = nullptr;  // no frame uses the theme: no request
    theme->SetThemeFile(good);
    EXPECT_EQ(theme->frameChanges, 1);
    EXPECT_EQ(bar->history.size(), 6u);
}

TEST(ResolveThemeSource, FromThemeFileNeedsAReadyTheme) {
    TsuiUIStyle out = TsuiUIStyle::MacOS;
    EXPECT_FALSE(ResolveThemeSource(nullptr, TsuiUIStyle::FromThemeFile, out));
    EXPECT_EQ(out, TsuiUIStyle::DeepBlue);
    TsuiFileTheme theme(nullptr);
    EXPECT_FALSE(ResolveThemeSource(&theme, TsuiUIStyle::FromThemeFile, out));
    EXPECT_EQ(out, TsuiUIStyle::DeepBlue);
    EXPECT_FALSE(ResolveThemeSource(&theme, TsuiUIStyle::WinXP, out));
    EXPECT_EQ(out, TsuiUIStyle::WinXP);

    qdtest::TempDir dir;
    qdtest::WriteFile(dir / "s.ssk", qdtest::SkinArchive({}));
    theme.SetThemeFile(dir / "s.ssk");
    ASSERT_TRUE(theme.Ready());
    EXPECT_TRUE(ResolveThemeSource(&theme, TsuiUIStyle::FromThemeFile, out));
    EXPECT_EQ(out, TsuiUIStyle::FromThemeFile);
    EXPECT_FALSE(ResolveThemeSource(&theme, TsuiUIStyle::Protein, out));
    EXPECT_EQ(out, TsuiUIStyle::Protein);
}

TEST(ThemeItemNames, EightyFourDistinctNamesInFourGroups) {
    std::set<std::string_view> names(std::begin(kThemeItemNames), std::end(kThemeItemNames));
    EXPECT_EQ(names.size(), 84u);
    EXPECT_EQ(ThemeItemName(SKIN2_SIDECHANNELBORDERCOLOR), kThemeItemNames[31]);
    EXPECT_EQ(ThemeItemName(SKIN2_TITLEBAR1), "SKIN2_TITLEBAR1");
    EXPECT_EQ(kThemeItemNames[43], "SKIN2_TITLEBUTTONS");
    EXPECT_EQ(ThemeItemName(SKIN2_BOTTOMREGIONMAXY), kThemeItemNames[74]);
    EXPECT_EQ(ThemeItemName(SKIN2_TITLEFIVESECT), kThemeItemNames[75]);
    EXPECT_EQ(ThemeItemName(SKIN2_TABCONTROLTRANS), kThemeItemNames[83]);
    EXPECT_EQ(ThemeItemName(static_cast<TsuiThemeInt>(9)), "");
}

}  // namespace
