// A canonical Huffman code expanded into a single-level lookup table: indexing the table with the
// next MaxLength stream bits (first stream bit lowest) gives the symbol, its code length and the
// number of extra bits that follow it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class THuffmanTree {
public:
    // Entry layout: bits 0-15 symbol (counted from the first symbol given to Build), bits 16-23
    // code length, bits 24-31 extra-bit count.
    static constexpr std::uint32_t kUnfilled = 0xFFFFFFFFu;
    // The largest alphabet the decoder builds (288 fixed literal/length symbols) with room to spare.
    static constexpr int kMaxSymbols = 320;

    static constexpr std::uint32_t Symbol(std::uint32_t entry) { return entry & 0xFFFFu; }
    static constexpr unsigned CodeLength(std::uint32_t entry) { return (entry >> 16) & 0xFFu; }
    static constexpr unsigned ExtraBits(std::uint32_t entry) { return entry >> 24; }

    // lengthLimit: the longest code length accepted (7 for the code-length alphabet, 15 otherwise).
    explicit THuffmanTree(int lengthLimit);

    // Builds the table for the count code lengths lengths[start .. start + count). Symbol i (from 0)
    // at or above firstExtra gets extraBits[i - firstExtra] extra bits (0 past the array's end).
    // Returns false, leaving no usable table, when the arguments are out of range, a length
    // exceeds LengthLimit, or the code set is over-subscribed. An incomplete set is built; the
    // entries no code reaches stay kUnfilled, and the decoder treats reaching one as corrupt data.
    bool Build(std::span<const std::uint8_t> lengths, int start, int count,
               std::span<const std::uint8_t> extraBits, int firstExtra);

    // The entry for the next MaxLength stream bits; higher bits of `bits` are ignored.
    std::uint32_t Lookup(std::uint32_t bits) const { return Table[bits & Mask()]; }
    std::uint32_t Mask() const { return (1u << MaxLength) - 1u; }

    std::vector<std::uint32_t> Table;
    int LengthLimit;
    int MaxLength = 0;
};
