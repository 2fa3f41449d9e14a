#include "app/KeyTable.h"

namespace qd {

bool KeyCounts(KeyRule rule, KeyPlace place) {
    switch (rule) {
    case KeyRule::List: return place.focus == KeyFocus::List;
    case KeyRule::NotInEditBox: return place.focus == KeyFocus::List || place.focus == KeyFocus::OtherControl;
    case KeyRule::Window: return place.focus != KeyFocus::Outside;
    case KeyRule::FindBox: return place.focus == KeyFocus::FindBox && place.findBoxOpen;
    }
    return false;
}

std::optional<desc::MainCommand> KeyCommand(KeyChord chord, KeyPlace place) {
    for (const KeyEntry& e : kKeyTable)
        if (e.chord == chord && KeyCounts(e.rule, place)) return e.command;
    return std::nullopt;
}

std::optional<KeyChord> KeyOfCommand(desc::MainCommand command) {
    for (const KeyEntry& e : kKeyTable)
        if (e.command == command) return e.chord;
    return std::nullopt;
}

}  // namespace qd
