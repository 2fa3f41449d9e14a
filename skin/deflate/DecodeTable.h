// A canonical Huffman code expanded into a two-level lookup table whose entries already hold what
// the decoder needs: the literal byte, or the base of a length or distance together with the
// number of bits its code and extra bits take. The low MainBits stream bits index the main table;
// a code longer than that leads to a subtable indexed by the bits after them.
#pragma once

#include <cstdint>
#include <vector>

namespace deflate {

// Main-table index bits of the decoder's tables: most literal/length and distance codes are shorter.
inline constexpr unsigned kLiteralMainBits = 11;
inline constexpr unsigned kDistanceMainBits = 8;

class TDecodeTable {
public:
    // Entry layout: bits 0-5 the bits the code and its extra bits take (for a subtable link: the
    // subtable's index bits), bits 8-12 the code length alone, bits 16-30 value (literal byte,
    // base up to 24577, subtable start), and one flag bit for each kind that is not a length or
    // distance. The literal flag is the top bit, the cheapest to test; the three kinds a fast
    // decode loop leaves to a slower path share the mask kExceptional.
    static constexpr std::uint32_t kLiteral = 1u << 31;
    static constexpr std::uint32_t kEndOfBlock = 1u << 6;
    static constexpr std::uint32_t kSubtable = 1u << 7;
    static constexpr std::uint32_t kInvalid = 1u << 13;  // no code reaches it, or its symbol is unused
    static constexpr std::uint32_t kExceptional = kEndOfBlock | kSubtable | kInvalid;

    static constexpr unsigned UsedBits(std::uint32_t entry) { return entry & 63u; }
    static constexpr unsigned CodeLength(std::uint32_t entry) { return (entry >> 8) & 31u; }
    // Only literals have the top bit: for every other entry this is the value as it stands, and a
    // literal's byte is its low 8 bits.
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
        const std::uint32_t entry = entries[bits & ((1u << mainBits) - 1u)];
        return entry & kSubtable ? SubtableEntry(entries, mainBits, entry, bits) : entry;
    }
    // The entry a subtable link leads to for the same stream bits.
    static std::uint32_t SubtableEntry(const std::uint32_t* entries, unsigned mainBits, std::uint32_t link,
                                       std::uint64_t bits) {
        return entries[Value(link) + ((bits >> mainBits) & ((1u << UsedBits(link)) - 1u))];
    }

    std::vector<std::uint32_t> Entries;
    unsigned MainBits;
};

// The tables of fixed-code blocks (code lengths 8 for literals 0-143, 9 for 144-255, 7 for
// 256-279, 8 for 280-287; 5 for all 32 distance symbols), built once on first use and shared
// read-only afterwards.
const TDecodeTable& FixedLiteralTree();
const TDecodeTable& FixedDistanceTree();

}  // namespace deflate
