#include "skin/deflate/DecodeTable.h"

#include <algorithm>
#include <array>

#include "skin/deflate/DeflateTables.h"

namespace deflate {

namespace {

constexpr std::uint32_t Decoded(std::uint32_t value, unsigned extraBits) { return value << 16 | extraBits; }

std::array<std::uint32_t, 288> MakeLiteralSymbols() {
    std::array<std::uint32_t, 288> symbols{};
    for (unsigned i = 0; i < 256; ++i) symbols[i] = Decoded(i, 0) | TDecodeTable::kLiteral;
    symbols[256] = TDecodeTable::kEndOfBlock;
    for (int i = kFirstLengthSymbol; i <= kLastLengthSymbol; ++i) {
        symbols[i] = Decoded(LengthBase[i - kFirstLengthSymbol], LengthExtra[i - kFirstLengthSymbol]);
    }
    symbols[286] = symbols[287] = TDecodeTable::kInvalid;
    return symbols;
}

std::array<std::uint32_t, 32> MakeDistanceSymbols() {
    std::array<std::uint32_t, 32> symbols{};
    for (int i = 0; i <= kLastDistanceSymbol; ++i) symbols[i] = Decoded(DistanceBase[i], DistanceExtra[i]);
    symbols[30] = symbols[31] = TDecodeTable::kInvalid;
    return symbols;
}

const std::array<std::uint32_t, 288> kLiteralSymbols = MakeLiteralSymbols();
const std::array<std::uint32_t, 32> kDistanceSymbols = MakeDistanceSymbols();

struct TFixedTrees {
    TDecodeTable literal{kLiteralMainBits};
    TDecodeTable distance{kDistanceMainBits};
    TFixedTrees() {
        std::array<std::uint8_t, 288> lengths{};
        std::fill(lengths.begin(), lengths.begin() + 144, 8);
        std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
        std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
        std::fill(lengths.begin() + 280, lengths.end(), 8);
        literal.Build(lengths.data(), 288, kLiteralSymbols.data());
        lengths.fill(5);
        distance.Build(lengths.data(), 32, kDistanceSymbols.data());
    }
};

const TFixedTrees& FixedTrees() {
    static const TFixedTrees trees;
    return trees;
}

}  // namespace

const TDecodeTable& FixedLiteralTree() { return FixedTrees().literal; }
const TDecodeTable& FixedDistanceTree() { return FixedTrees().distance; }

const std::uint32_t* TDecodeTable::LiteralSymbols() { return kLiteralSymbols.data(); }
const std::uint32_t* TDecodeTable::DistanceSymbols() { return kDistanceSymbols.data(); }

bool TDecodeTable::Build(const std::uint8_t* lengths, int count, const std::uint32_t* symbols) {
    const std::size_t mainSize = std::size_t{1} << MainBits;
    Entries.assign(mainSize, kInvalid);
    if (count < 0 || count > 288) return false;

    std::array<int, 16> perLength{};
    int maxLength = 0;
    for (int i = 0; i < count; ++i) {
        if (lengths[i] > 15) return false;
        ++perLength[lengths[i]];
        if (lengths[i] > maxLength) maxLength = lengths[i];
    }
    perLength[0] = 0;
    // Kraft sum: every length may use at most the codes the shorter ones leave free.
    int left = 1;
    for (int length = 1; length <= 15; ++length) {
        left = left * 2 - perLength[length];
        if (left < 0) return false;
    }

    // First canonical code of each length, and the symbols sorted by length then symbol number.
    std::array<unsigned, 16> nextCode{};
    std::array<int, 17> offset{};
    for (int length = 1, code = 0; length <= 15; ++length) {
        code = (code + perLength[length - 1]) * 2;
        nextCode[length] = static_cast<unsigned>(code);
        offset[length + 1] = offset[length] + perLength[length];
    }
    std::array<std::uint16_t, 288> sorted;
    for (int i = 0; i < count; ++i) {
        if (lengths[i] != 0) sorted[offset[lengths[i]]++] = static_cast<std::uint16_t>(i);
    }

    // Each code sits at its bit-reversed index and is repeated at every index whose low bits
    // match it. A code longer than MainBits goes to the subtable of its first MainBits bits; every
    // subtable has the index bits the longest code needs.
    const unsigned subBits = maxLength > static_cast<int>(MainBits) ? maxLength - MainBits : 0;
    int sortedIndex = 0;
    for (unsigned length = 1; length <= static_cast<unsigned>(maxLength); ++length) {
        for (int n = 0; n < perLength[length]; ++n) {
            const int symbol = sorted[sortedIndex++];
            const unsigned code = nextCode[length]++;
            const unsigned reversed =
                ((unsigned{ReverseByte[code & 0xFF]} << 8) | ReverseByte[(code >> 8) & 0xFF]) >> (16 - length);
            const std::uint32_t entry = symbols[symbol] + (length | length << 8);
            if (length <= MainBits) {
                for (std::size_t i = reversed; i < mainSize; i += std::size_t{1} << length) Entries[i] = entry;
                continue;
            }
            const unsigned prefix = reversed & ((1u << MainBits) - 1u);
            if (!(Entries[prefix] & kSubtable)) {
                const std::size_t start = Entries.size();
                Entries.resize(start + (std::size_t{1} << subBits), kInvalid);
                Entries[prefix] = static_cast<std::uint32_t>(start) << 16 | kSubtable | subBits;
            }
            const std::size_t start = Value(Entries[prefix]);
            for (std::size_t i = reversed >> MainBits; i < (std::size_t{1} << subBits); i += std::size_t{1} << (length - MainBits)) {
                Entries[start + i] = entry;
            }
        }
    }
    return true;
}

}  // namespace deflate
