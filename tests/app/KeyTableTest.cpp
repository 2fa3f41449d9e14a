// The main window's key table: each key runs its command only where its rule lets it and only with
// exactly its modifiers; everywhere else the window typed into keeps the key (the find box its
// typing and its undo, the list its search by letters). No key has two commands in one place.
#include <gtest/gtest.h>

#include <iterator>
#include <optional>

#include "app/KeyTable.h"

namespace {

using qd::Key;
using qd::KeyChord;
using qd::KeyFocus;
using qd::KeyPlace;
using qd::kAlt;
using qd::kCtrl;
using qd::kShift;
using Cmd = qd::desc::MainCommand;

constexpr KeyPlace kList{KeyFocus::List, false}, kListWithBoxOpen{KeyFocus::List, true},
    kFindBox{KeyFocus::FindBox, true}, kEditBox{KeyFocus::EditBox, false}, kToolBar{KeyFocus::OtherControl, false},
    kOutside{KeyFocus::Outside, false}, kOutsideWithBoxOpen{KeyFocus::Outside, true};

TEST(KeyTableTest, EachKeyCountsOnlyWhereItsRuleSaysAndWithExactlyItsModifiers) {
    const struct {
        const char* what;
        KeyChord chord;
        KeyPlace place;
        std::optional<Cmd> command;
    } cases[] = {
        // The list's keys: in the list only, the find box open or not.
        {"Insert in the list", {Key::Insert}, kList, Cmd::Add},
        {"F2 in the list", {Key::F2}, kListWithBoxOpen, Cmd::Edit},
        {"Delete in the list", {Key::Delete}, kList, Cmd::Delete},
        {"Ctrl+Up in the list", {Key::Up, kCtrl}, kList, Cmd::ItemUp},
        {"Ctrl+Down in the list", {Key::Down, kCtrl}, kList, Cmd::ItemDown},
        {"F5 in the list", {Key::F5}, kList, Cmd::Refresh},
        {"Enter in the list", {Key::Enter}, kList, Cmd::OpenFolder},
        {"Ctrl+C in the list", {Key::C, kCtrl}, kList, Cmd::CopyPath},
        {"Ctrl+V in the list", {Key::V, kCtrl}, kList, Cmd::Paste},
        {"Delete in the find box deletes text", {Key::Delete}, kFindBox, std::nullopt},
        {"Insert on the tool bar", {Key::Insert}, kToolBar, std::nullopt},
        {"F2 in a dialog", {Key::F2}, kOutside, std::nullopt},
        {"Ctrl+C in the find box copies text", {Key::C, kCtrl}, kFindBox, std::nullopt},
        {"Ctrl+V in the find box pastes text", {Key::V, kCtrl}, kFindBox, std::nullopt},
        {"Ctrl+V on the tool bar", {Key::V, kCtrl}, kToolBar, std::nullopt},
        {"Ctrl+V in a dialog", {Key::V, kCtrl}, kOutside, std::nullopt},
        // Arrows move through the list; letters, with or without Shift, find a row by its alias.
        {"Up", {Key::Up}, kList, std::nullopt},
        {"C", {Key::C}, kList, std::nullopt},
        {"V", {Key::V}, kList, std::nullopt},
        {"Shift+C", {Key::C, kShift}, kList, std::nullopt},
        // A list key with a modifier more or less is no command.
        {"Shift+Delete", {Key::Delete, kShift}, kList, std::nullopt},
        {"Ctrl+Delete", {Key::Delete, kCtrl}, kList, std::nullopt},
        {"Alt+Up", {Key::Up, kAlt}, kList, std::nullopt},
        {"Ctrl+Shift+Up", {Key::Up, kCtrl | kShift}, kList, std::nullopt},
        {"Ctrl+Alt+C", {Key::C, kCtrl | kAlt}, kList, std::nullopt},
        {"Ctrl+Shift+V", {Key::V, kCtrl | kShift}, kList, std::nullopt},
        {"Alt+Enter", {Key::Enter, kAlt}, kList, std::nullopt},
        {"Shift+Enter in the list", {Key::Enter, kShift}, kList, std::nullopt},
        // Undo and redo: anywhere in the window but an edit box, which undoes its own typing.
        {"Ctrl+Z in the list", {Key::Z, kCtrl}, kList, Cmd::Undo},
        {"Ctrl+Z on the tool bar", {Key::Z, kCtrl}, kToolBar, Cmd::Undo},
        {"Ctrl+Y in the list", {Key::Y, kCtrl}, kListWithBoxOpen, Cmd::Redo},
        {"Ctrl+Z in the find box", {Key::Z, kCtrl}, kFindBox, std::nullopt},
        {"Ctrl+Y in the find box", {Key::Y, kCtrl}, kFindBox, std::nullopt},
        {"Ctrl+Z in another edit box", {Key::Z, kCtrl}, kEditBox, std::nullopt},
        {"Ctrl+Z in a dialog", {Key::Z, kCtrl}, kOutside, std::nullopt},
        {"Ctrl+Shift+Z", {Key::Z, kCtrl | kShift}, kList, std::nullopt},
        {"Ctrl+Alt+Z", {Key::Z, kCtrl | kAlt}, kList, std::nullopt},
        {"Z", {Key::Z}, kList, std::nullopt},
        // Finding: anywhere in the window, the box open or closed.
        {"Ctrl+F in the list", {Key::F, kCtrl}, kList, Cmd::Find},
        {"Ctrl+F in the find box", {Key::F, kCtrl}, kFindBox, Cmd::Find},
        {"Ctrl+F on the tool bar", {Key::F, kCtrl}, kToolBar, Cmd::Find},
        {"F3 with the box closed", {Key::F3}, kList, Cmd::FindNext},
        {"Shift+F3 with the box closed", {Key::F3, kShift}, kList, Cmd::FindPrevious},
        {"F3 in the find box", {Key::F3}, kFindBox, Cmd::FindNext},
        {"F3 on the tool bar", {Key::F3}, kToolBar, Cmd::FindNext},
        {"Ctrl+F in a dialog", {Key::F, kCtrl}, kOutsideWithBoxOpen, std::nullopt},
        {"F3 in a dialog", {Key::F3}, kOutsideWithBoxOpen, std::nullopt},
        {"Ctrl+Shift+F", {Key::F, kCtrl | kShift}, kList, std::nullopt},
        {"Ctrl+F3", {Key::F3, kCtrl}, kList, std::nullopt},
        {"Alt+F3", {Key::F3, kAlt}, kFindBox, std::nullopt},
        // Enter and Esc of the find box: only in the box.
        {"Enter in the find box", {Key::Enter}, kFindBox, Cmd::FindNext},
        {"Shift+Enter in the find box", {Key::Enter, kShift}, kFindBox, Cmd::FindPrevious},
        {"Esc in the find box", {Key::Escape}, kFindBox, Cmd::CloseFind},
        {"Ctrl+Enter in the find box", {Key::Enter, kCtrl}, kFindBox, std::nullopt},
        {"Esc in the list", {Key::Escape}, kListWithBoxOpen, std::nullopt},
        {"Enter in another edit box", {Key::Enter}, kEditBox, std::nullopt},
        {"Enter on the tool bar", {Key::Enter}, kToolBar, std::nullopt},
        // The frame's system menu: anywhere in the window.
        {"Alt+Space in the list", {Key::Space, kAlt}, kList, Cmd::SystemMenu},
        {"Alt+Shift+Space in the find box", {Key::Space, kAlt | kShift}, kFindBox, Cmd::SystemMenu},
        {"Alt+Space in a dialog", {Key::Space, kAlt}, kOutside, std::nullopt},
        {"Space", {Key::Space}, kList, std::nullopt},
        {"Ctrl+Alt+Space", {Key::Space, kCtrl | kAlt}, kList, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(qd::KeyCommand(c.chord, c.place), c.command);
    }
}

TEST(KeyTableTest, NoKeyHasTwoCommandsInOnePlaceAndACommandIsNamedByItsFirstKey) {
    const KeyFocus focuses[] = {KeyFocus::List, KeyFocus::FindBox, KeyFocus::EditBox, KeyFocus::OtherControl,
                                KeyFocus::Outside};
    for (size_t i = 0; i < std::size(qd::kKeyTable); ++i)
        for (size_t j = i + 1; j < std::size(qd::kKeyTable); ++j) {
            if (!(qd::kKeyTable[i].chord == qd::kKeyTable[j].chord)) continue;
            for (KeyFocus focus : focuses)
                for (bool open : {false, true}) {
                    const KeyPlace place{focus, open};
                    EXPECT_FALSE(qd::KeyCounts(qd::kKeyTable[i].rule, place) && qd::KeyCounts(qd::kKeyTable[j].rule, place))
                        << "entries " << i << " and " << j;
                }
        }
    // The keys the tool bar's hints and the list's menu show.
    EXPECT_EQ(qd::KeyOfCommand(Cmd::Edit), (KeyChord{Key::F2}));
    EXPECT_EQ(qd::KeyOfCommand(Cmd::Undo), (KeyChord{Key::Z, kCtrl}));
    EXPECT_EQ(qd::KeyOfCommand(Cmd::FindNext), (KeyChord{Key::F3}));
    EXPECT_EQ(qd::KeyOfCommand(Cmd::Sort), std::nullopt);
}

}  // namespace
