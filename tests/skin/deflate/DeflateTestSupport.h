// Helpers for the decoder tests: a bit writer that builds DEFLATE streams by hand, canonical code
// assignment, streams that misbehave on purpose, and one call that decodes a byte vector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/deflate/Inflate.h"
#include "toolkit/Stream.h"

namespace deflatetest {

using Bytes = std::vector<std::uint8_t>;

struct Result {
    bool ok = false;
    Bytes output;
    InflateError error = InflateError::None;
};

// Decodes input held in memory. readSize limits how many bytes each source read returns (0: no
// limit), which exercises refills at every position. Decodes twice, into a plain memory stream
// (in place) and into another stream (through the decoder's window), and reports a test failure
// unless both give the same outcome, reason and bytes. outputLimit is the decoder's output limit.
Result Inflate(const Bytes& input, std::size_t readSize = 0, std::uint64_t outputLimit = kNoOutputLimit);

Bytes FromText(const std::string& text);

// Writes bits least-significant first, as DEFLATE packs them into bytes.
class BitWriter {
public:
    // The low `count` bits of value, lowest first (header fields, extra bits).
    BitWriter& Bits(std::uint32_t value, int count);
    // A Huffman code of `length` bits, most significant bit first.
    BitWriter& Code(std::uint32_t code, int length);
    BitWriter& AlignToByte();
    BitWriter& Byte(std::uint8_t value);
    Bytes Finish();

private:
    Bytes bytes_;
    int bitCount_ = 0;
};

// Fixed-code symbols.
void FixedLiteral(BitWriter& w, int symbol);
void FixedDistance(BitWriter& w, int symbol);
// Block headers.
void StoredBlock(BitWriter& w, bool final, const Bytes& data);
void FixedHeader(BitWriter& w, bool final);

// Canonical codes for a list of code lengths (0: symbol unused).
std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths);

// One code-length symbol of a dynamic header with the value of its extra bits (16, 17, 18).
struct LengthItem {
    int symbol;
    int extra = 0;
};

// A dynamic block header with all 19 code-length code lengths stored. hlitField and hdistField are
// the raw 5-bit fields. Returns the canonical codes of the literal and distance alphabets taken
// from `items` read as plain lengths (repeats expanded), for writing the block's data.
struct DynamicCodes {
    std::vector<std::uint32_t> literal;
    std::vector<int> literalLengths;
    std::vector<std::uint32_t> distance;
    std::vector<int> distanceLengths;
};
DynamicCodes DynamicHeader(BitWriter& w, bool final, int hlitField, int hdistField,
                           const std::vector<int>& codeLengthLengths, const std::vector<LengthItem>& items);
// Convenience: a complete code-length code (13 lengths of 4, 6 of 5) and plain lengths, no repeats.
std::vector<int> StandardCodeLengthLengths();
DynamicCodes PlainDynamicHeader(BitWriter& w, bool final, const std::vector<int>& literalLengths,
                                const std::vector<int>& distanceLengths);

// A source that returns at most `limit` bytes per read.
class TrickleStream : public tk::TMemoryStream {
public:
    TrickleStream(std::vector<std::uint8_t> bytes, std::size_t limit) : tk::TMemoryStream(std::move(bytes)), limit_(limit) {}
    std::int64_t Read(void* buffer, std::int64_t count) override;

private:
    std::size_t limit_;
};

// An output that accepts `capacity` bytes and then refuses to write more.
class FullStream : public tk::TMemoryStream {
public:
    explicit FullStream(std::size_t capacity) : capacity_(capacity) {}
    std::int64_t Write(const void* buffer, std::int64_t count) override;

private:
    std::size_t capacity_;
};

// Deterministic test data.
Bytes RandomBytes(std::size_t size, std::uint32_t seed);
Bytes TextLike(std::size_t size, std::uint32_t seed);

}  // namespace deflatetest
