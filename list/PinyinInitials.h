// The pinyin initials of Chinese characters: for each character of the CJK Unified Ideographs block
// (U+4E00..U+9FFF), the set of letters its Mandarin readings start with, one bit per letter (bit 0
// for a .. bit 25 for z). The table is generated at build time by tools/pinyintable from the Unicode
// Han database that Debian's unicode-data package installs; a character with several readings has
// several bits.
#pragma once

#include <cstdint>

namespace qd::pinyin {

constexpr std::uint32_t kFirstHan = 0x4E00, kLastHan = 0x9FFF;
extern const std::uint32_t kInitialsTable[kLastHan - kFirstHan + 1];

// The letters c's readings start with; 0 for a character outside the block or without a reading.
inline std::uint32_t Initials(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return u >= kFirstHan && u <= kLastHan ? kInitialsTable[u - kFirstHan] : 0;
}

}  // namespace qd::pinyin
