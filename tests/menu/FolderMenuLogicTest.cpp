// The folder menu's rules as tables: hot key text both ways and its setting in options.ini, the
// Run value's command, the aliases as captions. Both builds (natively also under ASan and UBSan).
#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>

#include "menu/FolderMenuLogic.h"

namespace {

using qd::menu::HotKey;
constexpr unsigned Ctrl = HotKey::kCtrl, Alt = HotKey::kAlt, Shift = HotKey::kShift, Win = HotKey::kWin;
constexpr unsigned kF1 = 0x70, kF12 = 0x7B, kF24 = 0x87, kHome = 0x24, kDelete = 0x2E, kNum7 = 0x67, kSpace = 0x20;

TEST(HotKeyText, ModifiersInOneOrderThenTheKeysName) {
    struct Case {
        HotKey key;
        const wchar_t* text;
    } cases[] = {
        {{Ctrl | Alt, 'F'}, L"Ctrl+Alt+F"},
        {{Win | Shift | Alt | Ctrl, '7'}, L"Win+Ctrl+Alt+Shift+7"},
        {{0, kF12}, L"F12"},
        {{Shift, kF24}, L"Shift+F24"},
        {{Ctrl, kHome}, L"Ctrl+Home"},
        {{Alt, kNum7}, L"Alt+Num7"},
        {{Ctrl, kSpace}, L"Ctrl+Space"},
        {{Ctrl, 0}, L""},       // no key
        {{Ctrl, 0xBA}, L""},    // a key without a name (the semicolon key of some layouts)
        {{Ctrl, 'a'}, L"Ctrl+Num1"},  // 0x61 is a key of the number pad, not a small a
        {{Ctrl, 0x5D}, L""},    // the menu key
    };
    for (const Case& c : cases) EXPECT_EQ(qd::menu::HotKeyText(c.key), c.text);
}

TEST(ParseHotKey, WhatATextGivesAndWhatItDoesNot) {
    struct Case {
        const wchar_t* text;
        std::optional<HotKey> key;
    } cases[] = {
        {L"Ctrl+Alt+F", HotKey{Ctrl | Alt, 'F'}},
        {L"  alt + ctrl + f ", HotKey{Ctrl | Alt, 'F'}},  // any order, case and blanks
        {L"Control+Shift+Delete", HotKey{Ctrl | Shift, kDelete}},
        {L"Windows+E", HotKey{Win, 'E'}},
        {L"F1", HotKey{0, kF1}},                  // a function key needs no modifier
        {L"shift+f12", HotKey{Shift, kF12}},
        {L"Ctrl+PageUp", HotKey{Ctrl, 0x21}},     // the other names of a key are read too
        {L"None", HotKey{}},
        {L"none", HotKey{}},
        {L"", HotKey{}},
        {L"F", std::nullopt},                     // a letter alone would be taken from typing
        {L"Shift+F", std::nullopt},               // a capital letter too
        {L"Ctrl+Ctrl+F", std::nullopt},
        {L"Ctrl+Alt", std::nullopt},              // modifiers without a key
        {L"Ctrl+Alt+", std::nullopt},
        {L"+F", std::nullopt},
        {L"Ctrl+F+Alt", std::nullopt},            // the key comes last
        {L"Ctrl+FF", std::nullopt},
        {L"Ctrl+F0", std::nullopt},
        {L"Ctrl+F25", std::nullopt},
        {L"Ctrl+F01", std::nullopt},
        {L"Ctrl+F99999999999999999999", std::nullopt},  // no overflow into a small number
        {L"Ctrl+Num", std::nullopt},
        {L"Hyper+F", std::nullopt},
        {L"Ctrl+中", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto key = qd::menu::ParseHotKey(c.text);
        EXPECT_EQ(key.has_value(), c.key.has_value()) << "text: " << std::string(c.text, c.text + wcslen(c.text));
        if (key && c.key) {
            EXPECT_EQ(*key, *c.key) << std::string(c.text, c.text + wcslen(c.text));
        }
    }
}

TEST(ParseHotKey, EveryTextWrittenReadsBackAsTheSameKey) {
    for (unsigned key = 1; key < 0x100; ++key)
        for (unsigned modifiers : {0u, Ctrl, Alt, Ctrl | Alt, Shift | Win, Ctrl | Alt | Shift | Win}) {
            const HotKey hotKey{modifiers, key};
            if (!qd::menu::IsUsableHotKey(hotKey)) continue;
            const std::wstring text = qd::menu::HotKeyText(hotKey);
            const auto back = qd::menu::ParseHotKey(text);
            ASSERT_TRUE(back) << key;
            EXPECT_EQ(*back, hotKey) << key;
        }
}

TEST(HotKeySetting, MissingGivesTheDefaultABadTextIsKeptForTheTipAndNoneIsNone) {
    const auto missing = qd::menu::ReadHotKeySetting(std::nullopt);
    EXPECT_EQ(missing.Key, qd::menu::kDefaultHotKey);
    EXPECT_TRUE(missing.Rejected.empty());

    // The default types no character: AltGr is Ctrl+Alt, on every layout that has it.
    EXPECT_NE(qd::menu::kDefaultHotKey.Modifiers & (Ctrl | Alt), Ctrl | Alt);
    EXPECT_EQ(qd::menu::HotKeyText(qd::menu::kDefaultHotKey), L"Win+Alt+F");

    const auto chosen = qd::menu::ReadHotKeySetting(std::wstring(L"Ctrl+Shift+K"));
    EXPECT_EQ(chosen.Key, (HotKey{Ctrl | Shift, 'K'}));
    EXPECT_TRUE(chosen.Rejected.empty());
    // A key the user chose stays, the earlier default too.
    EXPECT_EQ(qd::menu::ReadHotKeySetting(std::wstring(L"Ctrl+Alt+F")).Key, (HotKey{Ctrl | Alt, 'F'}));

    const auto bad = qd::menu::ReadHotKeySetting(std::wstring(L"Ctrl+Banana"));
    EXPECT_EQ(bad.Key, qd::menu::kDefaultHotKey);
    EXPECT_EQ(bad.Rejected, L"Ctrl+Banana");

    EXPECT_TRUE(qd::menu::ReadHotKeySetting(std::wstring(L"None")).Key.Empty());
    EXPECT_EQ(qd::menu::HotKeySettingValue(HotKey{}), L"None");
    EXPECT_EQ(qd::menu::HotKeySettingValue(HotKey{Ctrl | Alt, 'F'}), L"Ctrl+Alt+F");
}

TEST(RunValue, TheQuotedPathAndWhichValuesStartThisProgram) {
    const std::wstring exe = L"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe";
    EXPECT_EQ(qd::menu::RunCommand(exe), L"\"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe\"");
    struct Case {
        const wchar_t* value;
        bool starts;
    } cases[] = {
        {L"\"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe\"", true},
        {L"\"c:\\program files\\quiverdir\\quivERDIRmenu.EXE\"", true},
        {L"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe", true},
        {L"  \"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe\" ", true},
        {L"\"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe\" /hidden", false},
        {L"\"D:\\Portable\\QuiverdirMenu.exe\"", false},  // another copy
        {L"\"C:\\Program Files\\Quiverdir\\QuiverdirMenu.exe", false},
        {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qd::menu::RunCommandStartsProgram(c.value, exe), c.starts)
            << std::string(c.value, c.value + wcslen(c.value));
    EXPECT_FALSE(qd::menu::RunCommandStartsProgram(L"\"\"", L""));
}

TEST(AliasCaption, AmpersandsShowAsThemselves) {
    EXPECT_EQ(qd::menu::AliasCaption(L"R&D"), L"R&&D");
    EXPECT_EQ(qd::menu::AliasCaption(L"&&"), L"&&&&");
    EXPECT_EQ(qd::menu::AliasCaption(L"下载"), L"下载");
    EXPECT_EQ(qd::menu::AliasCaption(L""), L"");
}

}  // namespace
