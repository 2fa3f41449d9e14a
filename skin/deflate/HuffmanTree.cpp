#include "skin/deflate/HuffmanTree.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "skin/deflate/DeflateTables.h"

THuffmanTree::THuffmanTree(int lengthLimit) : LengthLimit(std::clamp(lengthLimit, 1, 15)) {
    Table.assign(1, kUnfilled);
}

bool THuffmanTree::Build(std::span<const std::uint8_t> lengths, int start, int count,
                         std::span<const std::uint8_t> extraBits, int firstExtra) {
    // A failed build leaves a one-entry table that decodes nothing, never a stale one.
    MaxLength = 0;
    Table.assign(1, kUnfilled);
    if (start < 0 || count < 0 || count > kMaxSymbols ||
        static_cast<std::size_t>(start) + static_cast<std::size_t>(count) > lengths.size()) {
        return false;
    }
    const std::uint8_t* codeLengths = lengths.data() + start;

    std::array<int, 16> perLength{};
    for (int i = 0; i < count; ++i) {
        if (codeLengths[i] > LengthLimit) return false;
        ++perLength[codeLengths[i]];
        MaxLength = std::max<int>(MaxLength, codeLengths[i]);
    }
    perLength[0] = 0;

    // Kraft sum: every length may use at most the codes the shorter ones leave free.
    int left = 1;
    for (int length = 1; length <= MaxLength; ++length) {
        left = left * 2 - perLength[length];
        if (left < 0) {
            MaxLength = 0;
            return false;
        }
    }
    if (MaxLength == 0) return true;  // no codes: the one unfilled entry rejects any lookup

    // First canonical code of each length, and the symbols sorted by length then symbol number.
    std::array<int, 16> nextCode{};
    std::array<int, 17> offset{};
    for (int length = 1, code = 0; length <= 15; ++length) {
        code = (code + perLength[length - 1]) * 2;
        nextCode[length] = code;
        offset[length + 1] = offset[length] + perLength[length];
    }
    std::array<std::uint16_t, kMaxSymbols> sorted;
    for (int i = 0; i < count; ++i) {
        if (codeLengths[i] != 0) sorted[offset[codeLengths[i]]++] = static_cast<std::uint16_t>(i);
    }

    // Fill the table length by length: at length L it has 2^L entries, each code of length L sits
    // at its bit-reversed index, and doubling the table before the next length replicates every
    // shorter code to all the indexes whose low bits match it.
    Table.resize(std::size_t{1} << MaxLength);
    std::uint32_t* table = Table.data();
    table[0] = table[1] = kUnfilled;
    int symbolIndex = 0;
    for (int length = 1; length <= MaxLength; ++length) {
        const std::size_t size = std::size_t{1} << length;
        if (length > 1) std::memcpy(table + size / 2, table, size / 2 * sizeof(std::uint32_t));
        for (int n = 0; n < perLength[length]; ++n) {
            const int symbol = sorted[symbolIndex++];
            const int code = nextCode[length]++;
            const unsigned reversed =
                ((unsigned{deflate::ReverseByte[code & 0xFF]} << 8) | deflate::ReverseByte[(code >> 8) & 0xFF]) >>
                (16 - length);
            unsigned extra = 0;
            if (symbol >= firstExtra && static_cast<std::size_t>(symbol - firstExtra) < extraBits.size()) {
                extra = extraBits[symbol - firstExtra];
            }
            table[reversed] = static_cast<std::uint32_t>(symbol) | (static_cast<std::uint32_t>(length) << 16) |
                              (static_cast<std::uint32_t>(extra) << 24);
        }
    }
    return true;
}
