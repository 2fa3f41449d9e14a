// A canonical Huffman code expanded into a two-level lookup table whose entries already hold what
// the decoder needs: the literal byte, or the base of a length or distance together with the
// number of bits its code and extra bits take. The low MainBits stream bits index the main table;
// a code longer than that leads to a subtable indexed by the bits after them.
#pragma once

#include <cstdint>
#include <vector>

namespace deflate {

class TDecodeTable {
public:
    // Entry layout: bits 0-4 code length (for a subtable link: the subtable's index bits), bits
    // 8-12 code length plus extra bits, bits 16-31 value (literal byte, base, subtable start),
    // and one flag bit for each kind that is not a length or distance.
    static constexpr std::uint32_t kLiteral = 1u << 5;
    static constexpr std::uint32_t kEndOfBlock = 1u << 6;
    static constexpr std::uint32_t kSubtable = 1u << 7;
    static constexpr std::uint32_t kInvalid = 1u << 13;  // no code reaches it, or its symbol is unused

    static constexpr unsigned CodeLength(std::uint32_t entry) { return entry & 31u; }
    static constexpr unsigned TotalBits(std::uint32_t entry) { return (entry >> 8) & 31u; }
    static constexpr std::uint32_t Value(std::uint32_t entry) { return entry >> 16; }

    // What each literal/length symbol (0-287) and distance symbol (0-31) decodes to, before the
    // code length is added.
    static const std::uint32_t* LiteralSymbols();
    static const std::uint32_t* DistanceSymbols();

    explicit TDecodeTable(unsigned mainBits) : MainBits(mainBits) {}

    // Builds the table for code lengths lengths[0 .. count) (each 0 to 15, count at most 288),
    // symbol i decoding to symbols[i]. Returns false for an over-subscribed code set, leaving a
    // table whose every entry is invalid. An incomplete set is built; the bits no code reaches
    // lead to invalid entries.
    bool Build(const std::uint8_t* lengths, int count, const std::uint32_t* symbols);

    // The entry for the next stream bits (at least the longest code length of them valid).
    std::uint32_t Lookup(std::uint64_t bits) const { return Lookup(Entries.data(), MainBits, bits); }
    static std::uint32_t Lookup(const std::uint32_t* entries, unsigned mainBits, std::uint64_t bits) {
        std::uint32_t entry = entries[bits & ((1u << mainBits) - 1u)];
        if (entry & kSubtable) {
            entry = entries[Value(entry) + ((bits >> mainBits) & ((1u << CodeLength(entry)) - 1u))];
        }
        return entry;
    }

    std::vector<std::uint32_t> Entries;
    unsigned MainBits;
};

}  // namespace deflate
