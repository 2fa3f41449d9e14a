// Decoder behaviour on streams built bit by bit: a table of named valid and corrupt streams with
// their outcome, the boundaries of the input buffer and window, truncation at every byte, and the
// Huffman table builder itself. Needs no encoder, so it runs in both builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <span>
#include <utility>
#include <string>

#include "DeflateTestSupport.h"
#include "skin/deflate/HuffmanTree.h"
#include "tests/skin/reader/SkinTestFiles.h"

using namespace deflatetest;

namespace {

std::string Hex(const Bytes& bytes) {
    std::string text;
    char piece[4];
    for (std::size_t i = 0; i < bytes.size() && i < 64; ++i) {
        std::snprintf(piece, sizeof piece, "%02x ", bytes[i]);
        text += piece;
    }
    if (bytes.size() > 64) text += "...";
    return text;
}

Bytes Hexes(const char* text) {
    Bytes bytes;
    unsigned value = 0;
    int n = 0;
    while (std::sscanf(text, " %2x%n", &value, &n) == 1) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        text += n;
    }
    return bytes;
}

Bytes Repeat(std::uint8_t value, std::size_t count) { return Bytes(count, value); }

// A fixed-code final block holding the given literal/length and distance symbols with their extra
// bits, then the end-of-block code.
struct Sym {
    int symbol;
    int extra = 0;
    int extraBits = 0;
    bool distance = false;
};
Bytes FixedStream(const std::vector<Sym>& symbols, bool withEnd = true) {
    BitWriter w;
    FixedHeader(w, true);
    for (const Sym& s : symbols) {
        if (s.distance) {
            FixedDistance(w, s.symbol);
        } else {
            FixedLiteral(w, s.symbol);
        }
        w.Bits(s.extra, s.extraBits);
    }
    if (withEnd) FixedLiteral(w, 256);
    return w.Finish();
}
Sym Lit(char c) { return {static_cast<std::uint8_t>(c)}; }
Sym Dist(int symbol, int extra = 0, int bits = 0) { return {symbol, extra, bits, true}; }

// The length or distance symbol of a value with its extra bits (RFC 1951, section 3.2.5).
Sym LengthSym(int length) {
    static const int base[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                               31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int bits[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int i = 28;
    while (base[i] > length) --i;
    return {257 + i, length - base[i], bits[i]};
}
Sym DistanceSym(int distance) {
    int symbol = 0, base = 1, bits = 0;
    // Symbols come in pairs from 4 on, each pair's extra bits one more than the last.
    for (int s = 0; s < 30; ++s) {
        const int b = s < 4 ? 0 : s / 2 - 1;
        const int start = s < 4 ? s + 1 : ((2 + s % 2) << b) + 1;
        if (start > distance) break;
        symbol = s;
        base = start;
        bits = b;
    }
    return {symbol, distance - base, bits, true};
}

// Zeros in a dynamic header's code lengths, as repeat codes 18 and 17 where they fit.
void Zeros(std::vector<LengthItem>& items, int count) {
    while (count >= 11) {
        const int n = std::min(count, 138);
        items.push_back({18, n - 11});
        count -= n;
    }
    if (count >= 3) {
        items.push_back({17, count - 3});
        count = 0;
    }
    for (; count > 0; --count) items.push_back({0});
}

// A final dynamic block whose header declares 257 + hlitField literal/length and 1 + hdistField
// distance code lengths under a complete code-length code, with 'a' and end-of-block as the only
// literal/length codes and one distance code; its data is "a". Only the declared counts can
// make it invalid.
Bytes DeclaredCountsStream(int hlitField, int hdistField) {
    const int hlit = 257 + hlitField, hdist = 1 + hdistField;
    std::vector<LengthItem> items;
    Zeros(items, 'a');
    items.push_back({1});
    Zeros(items, 256 - 'a' - 1);
    items.push_back({1});
    Zeros(items, hlit - 257);
    items.push_back({1});
    Zeros(items, hdist - 1);
    BitWriter w;
    const DynamicCodes c = DynamicHeader(w, true, hlitField, hdistField, StandardCodeLengthLengths(), items);
    w.Code(c.literal['a'], 1).Code(c.literal[256], 1);
    return w.Finish();
}

// Literal lengths for a small dynamic alphabet: 'a' 2 bits, 256 2 bits, 257 2 bits, 258 2 bits.
std::vector<int> SmallLiterals() {
    std::vector<int> lengths(259, 0);
    lengths['a'] = 2;
    lengths[256] = 2;
    lengths[257] = 2;
    lengths[258] = 2;
    return lengths;
}

struct Case {
    std::string name;
    Bytes input;
    bool ok;
    Bytes output;
};

std::vector<Case> NamedCases() {
    std::vector<Case> cases;
    auto add = [&](std::string name, Bytes input, bool ok, Bytes output = {}) {
        cases.push_back({name, std::move(input), ok, std::move(output)});
    };

    // Valid streams.
    add("empty final stored block", Hexes("01 00 00 ff ff"), true);
    add("empty fixed block", Hexes("03 00"), true);
    add("bytes after the final block are ignored", Hexes("03 00 ff ff ff 07"), true);
    add("fixed literals", FixedStream({Lit('a'), Lit('b'), Lit(static_cast<char>(200))}), true,
        Bytes{'a', 'b', 200});
    add("distance 1 length 258 repeats the last byte", FixedStream({Lit('z'), {285}, Dist(0)}), true,
        Repeat('z', 259));
    {
        // "0123456789", then symbol 285 at distance 10 (symbol 6, base 9, extra 1), then 'x'.
        std::vector<Sym> s;
        Bytes expect;
        for (char c = '0'; c <= '9'; ++c) {
            s.push_back(Lit(c));
            expect.push_back(static_cast<std::uint8_t>(c));
        }
        s.push_back({285});
        s.push_back(Dist(6, 1, 2));
        s.push_back(Lit('x'));
        for (int i = 0; i < 258; ++i) expect.push_back(static_cast<std::uint8_t>('0' + i % 10));
        expect.push_back('x');
        add("symbol 285 copies exactly 258 bytes", FixedStream(s), true, expect);
    }
    {
        // Length 10 (symbol 264) at distance 3 (symbol 2): overlapping copy of a 3-byte pattern.
        add("overlapping copy shorter than 8", FixedStream({Lit('a'), Lit('b'), Lit('c'), {264}, Dist(2)}), true,
            FromText("abcabcabcabca"));
    }
    {
        // One distance code only (an incomplete set), as encoders emit for a single match.
        BitWriter w;
        const DynamicCodes c = PlainDynamicHeader(w, true, SmallLiterals(), {1});
        w.Code(c.literal['a'], 2).Code(c.literal[257], 2).Code(c.distance[0], 1).Code(c.literal[256], 2);
        add("single distance code decodes", w.Finish(), true, FromText("aaaa"));
    }
    {
        // Repeat codes 16, 17 and 18 in the header: 'a' (97) and 98..100 length 4 (via 16), 256..263
        // length 4 (via 16), the rest zero, one distance code.
        std::vector<LengthItem> items = {{18, 97 - 11}, {4}, {16, 0}, {18, 127}, {18, 6},
                                         {4},           {16, 3}, {4},   {1}};
        BitWriter w;
        const DynamicCodes c = DynamicHeader(w, true, 264 - 257, 0, StandardCodeLengthLengths(), items);
        w.Code(c.literal['a'], 4).Code(c.literal[100], 4).Code(c.literal[258], 4).Code(c.distance[0], 1);
        w.Code(c.literal[256], 4);
        add("dynamic header with repeat codes 16, 17 and 18", w.Finish(), true, FromText("addddd"));
    }
    {
        BitWriter w;
        StoredBlock(w, false, FromText("stored "));
        FixedHeader(w, false);
        for (char ch : std::string("fixed ")) FixedLiteral(w, static_cast<std::uint8_t>(ch));
        FixedLiteral(w, 256);
        const DynamicCodes c = PlainDynamicHeader(w, true, SmallLiterals(), {1});
        w.Code(c.literal['a'], 2).Code(c.literal[258], 2).Code(c.distance[0], 1).Code(c.literal[256], 2);
        add("stored, fixed and dynamic blocks in one stream", w.Finish(), true, FromText("stored fixed aaaaa"));
    }

    // Matches at every short distance, longer than 16 and than 32 bytes, so that each way of
    // copying an overlapping pattern runs past its first pieces; a literal between matches moves
    // the pattern on.
    for (int distance = 1; distance <= 40; ++distance) {
        std::vector<Sym> symbols;
        Bytes expect;
        for (int i = 0; i < distance; ++i) {
            const auto byte = static_cast<std::uint8_t>('A' + i * 7 % 58);
            symbols.push_back({byte});
            expect.push_back(byte);
        }
        for (int length : {17, 33, 258, 3, 16, 32, 40, 100, 8, 24, 65}) {
            symbols.push_back(LengthSym(length));
            symbols.push_back(DistanceSym(distance));
            for (int k = 0; k < length; ++k) expect.push_back(expect[expect.size() - distance]);
            symbols.push_back(Lit('#'));
            expect.push_back('#');
        }
        add("matches of 3 to 258 bytes at distance " + std::to_string(distance), FixedStream(symbols), true, expect);
    }
    {
        // The longest codes the format has: a complete literal/length code with lengths 1 to 15
        // ('a' to 'm' 1 to 13, end-of-block 14, 'z' and length symbol 257 15), a distance code
        // with lengths 15, 15, 14 ... 1, and a code-length code whose codes for 14 and 15 have 7
        // bits.
        std::vector<int> clLengths(19, 0);
        clLengths[17] = clLengths[18] = 3;
        for (int s = 1; s <= 11; ++s) clLengths[s] = 4;
        clLengths[12] = 5;
        clLengths[13] = 6;
        clLengths[14] = clLengths[15] = 7;
        std::vector<LengthItem> items;
        Zeros(items, 'a');
        for (int length = 1; length <= 13; ++length) items.push_back({length});
        Zeros(items, 'z' - 'm' - 1);
        items.push_back({15});
        Zeros(items, 256 - 'z' - 1);
        items.push_back({14});  // 256
        items.push_back({15});  // 257
        items.push_back({15});  // distance symbol 0, then 15 to 1 for symbols 1 to 15
        for (int length = 15; length >= 1; --length) items.push_back({length});
        BitWriter w;
        const DynamicCodes c = DynamicHeader(w, true, 1, 15, clLengths, items);
        w.Code(c.literal['z'], 15).Code(c.literal['a'], 1).Code(c.literal['m'], 13);
        w.Code(c.literal[257], 15).Code(c.distance[0], 15);
        w.Code(c.literal[256], 14);
        add("15-bit literal/length and distance codes, 7-bit code-length codes", w.Finish(), true,
            FromText("zammmm"));
    }

    // Corrupt or cut-short streams.
    add("empty input", {}, false);
    add("block type 3", Hexes("07"), false);
    add("block type 3 before a valid final block", Hexes("06 03 00"), false);
    add("stored length complement wrong", Hexes("01 05 00 00 00 61 62 63 64 65"), false);
    add("stored header cut short", Hexes("01 05 00 fa"), false);
    add("stored data cut short", Hexes("01 05 00 fa ff 61 62"), false);
    add("non-final block then end of input", Hexes("02 00"), false);
    add("fixed block without end-of-block code", FixedStream({Lit('a'), Lit('b')}, false), false);
    {
        // 3 header bits + 8 + 7 = 18 bits: dropping the last byte leaves the end-of-block code to
        // the zero padding, which happens to spell it.
        Bytes stream = FixedStream({Lit('a')});
        stream.pop_back();
        add("end-of-block code in the padding after the input", stream, false);
    }
    add("distance before the first byte", FixedStream({{257}, Dist(0)}), false);
    add("distance one past the output so far", FixedStream({Lit('a'), Lit('b'), {257}, Dist(2)}), false);
    add("length symbol 286", FixedStream({Lit('a'), {286}, Dist(0)}), false);
    add("length symbol 287", FixedStream({Lit('a'), {287}, Dist(0)}), false);
    add("distance symbol 30", FixedStream({Lit('a'), {257}, Dist(30)}), false);
    add("distance symbol 31", FixedStream({Lit('a'), {257}, Dist(31)}), false);
    // The largest counts the format allows decode; one more literal/length or distance code is
    // refused before any code length is read. Everything else in these streams is valid.
    add("HLIT 286 and HDIST 30 at their limits", DeclaredCountsStream(29, 29), true, FromText("a"));
    add("HLIT 287", DeclaredCountsStream(30, 0), false);
    add("HLIT 288", DeclaredCountsStream(31, 0), false);
    add("HDIST 31", DeclaredCountsStream(0, 30), false);
    add("HDIST 32", DeclaredCountsStream(0, 31), false);
    {
        BitWriter w;
        DynamicHeader(w, true, 0, 0, StandardCodeLengthLengths(), {{16, 0}, {18, 127}, {18, 127}});
        add("repeat code 16 as the first code length", w.Finish(), false);
    }
    {
        // The input ends right after the code length of end-of-block, 59 lengths early: the
        // missing lengths must not be read as zeros (which would give a complete code whose
        // all-zero pattern is 'a').
        std::vector<LengthItem> items;
        Zeros(items, 'a');
        items.push_back({1});
        Zeros(items, 256 - 'a' - 1);
        items.push_back({1});
        BitWriter w;
        DynamicHeader(w, true, 29, 29, StandardCodeLengthLengths(), items);
        add("input ends inside the code lengths", w.Finish(), false);
    }
    {
        BitWriter w;  // 257 + 1 lengths declared, 138 + 138 zeros given
        DynamicHeader(w, true, 0, 0, StandardCodeLengthLengths(), {{18, 127}, {18, 127}});
        add("zero repeat past HLIT + HDIST", w.Finish(), false);
    }
    {
        BitWriter w;  // 256 zeros, then a 1 and six copies of it where two places remain
        DynamicHeader(w, true, 0, 0, StandardCodeLengthLengths(), {{18, 127}, {18, 107}, {1}, {16, 3}});
        add("previous-length repeat past HLIT + HDIST", w.Finish(), false);
    }
    {
        BitWriter w;
        DynamicHeader(w, true, 0, 0, std::vector<int>(19, 1), {{1}});
        add("over-subscribed code-length code", w.Finish(), false);
    }
    {
        std::vector<int> lengths(257, 0);
        lengths['a'] = 1;
        lengths['b'] = 1;
        lengths[256] = 1;
        BitWriter w;
        PlainDynamicHeader(w, true, lengths, {1});
        w.Bits(0, 8);
        add("over-subscribed literal/length code", w.Finish(), false);
    }
    {
        std::vector<int> lengths(257, 0);
        lengths['a'] = 2;
        lengths[256] = 2;  // codes 00 and 01; 10 and 11 are unused
        BitWriter w;
        const DynamicCodes c = PlainDynamicHeader(w, true, lengths, {1});
        w.Code(c.literal['a'], 2).Code(3, 2).Code(c.literal[256], 2);
        add("unused literal/length code", w.Finish(), false);
    }
    {
        BitWriter w;
        const DynamicCodes c = PlainDynamicHeader(w, true, SmallLiterals(), {1});
        w.Code(c.literal['a'], 2).Code(c.literal[257], 2).Code(1, 1).Code(c.literal[256], 2);
        add("unused distance code", w.Finish(), false);
    }
    {
        BitWriter w;
        const DynamicCodes c = PlainDynamicHeader(w, true, SmallLiterals(), {0});
        w.Code(c.literal['a'], 2).Code(c.literal[257], 2).Code(0, 1).Code(c.literal[256], 2);
        add("length with no distance codes", w.Finish(), false);
    }
    {
        std::vector<int> lengths(257, 0);
        lengths['a'] = 1;
        lengths['b'] = 1;
        BitWriter w;
        PlainDynamicHeader(w, true, lengths, {1});
        // 70000 one-bit codes: more than a window's worth, so decoding it would write output.
        for (int i = 0; i < 70000 / 8; ++i) w.Byte(0);
        add("no end-of-block code", w.Finish(), false);
    }
    {
        BitWriter w;
        DynamicHeader(w, true, 0, 0, std::vector<int>(19, 0), {});
        w.Bits(0, 32);
        add("code-length code with no codes", w.Finish(), false);
    }
    return cases;
}

}  // namespace

TEST(InflateCases, EachNamedStreamGivesItsOutcome) {
    for (const Case& c : NamedCases()) {
        for (std::size_t readSize : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
            SCOPED_TRACE(c.name + " [" + Hex(c.input) + "] read size " + std::to_string(readSize));
            const Result r = Inflate(c.input, readSize);
            EXPECT_EQ(r.ok, c.ok);
            // A refused stream writes nothing: none of them reaches a window's worth of output.
            EXPECT_EQ(r.output, c.output);
        }
    }
}

// Every proper prefix of a valid stream fails, whatever block or field it ends in, and what it
// wrote is a prefix of the full output.
TEST(InflateCases, EveryTruncationFails) {
    BitWriter w;
    StoredBlock(w, false, TextLike(20000, 7));
    FixedHeader(w, false);
    for (int i = 0; i < 300; ++i) FixedLiteral(w, i % 256);
    FixedLiteral(w, 258);
    FixedDistance(w, 3);
    FixedLiteral(w, 256);
    const DynamicCodes c = PlainDynamicHeader(w, true, SmallLiterals(), {1});
    for (int i = 0; i < 200; ++i) w.Code(c.literal[i % 3 ? 'a' : 258], 2).Code(c.distance[0], i % 3 ? 0 : 1);
    w.Code(c.literal[256], 2);
    const Bytes stream = w.Finish();
    const Result full = Inflate(stream);
    ASSERT_TRUE(full.ok);

    for (std::size_t size = 0; size < stream.size(); ++size) {
        const Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size));
        const Result r = Inflate(cut, size % 5 + 1);
        ASSERT_FALSE(r.ok) << "cut at " << size;
        ASSERT_LE(r.output.size(), full.output.size());
        ASSERT_TRUE(std::equal(r.output.begin(), r.output.end(), full.output.begin())) << "cut at " << size;
    }
}

// Stored blocks longer than the input buffer, crossing the window's 65536 mark, followed by
// matches that reach 32768 bytes back across flushes.
TEST(InflateCases, StoredBlocksAndFarMatchesAcrossFlushes) {
    BitWriter w;
    Bytes expect;
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        const Bytes piece = RandomBytes(30000 + seed * 1111, seed);
        StoredBlock(w, false, piece);
        expect.insert(expect.end(), piece.begin(), piece.end());
    }
    FixedHeader(w, true);
    // Alternate matches at distance 32768 (symbol 29, extra 8191) and 1000 (symbol 19, base 769,
    // extra 231), length 258, plus one literal, until well past several flushes.
    for (int i = 0; i < 1500; ++i) {
        const std::size_t distance = i % 2 ? 32768 : 1000;
        FixedLiteral(w, 285);
        if (distance == 32768) {
            FixedDistance(w, 29);
            w.Bits(8191, 13);
        } else {
            FixedDistance(w, 19);
            w.Bits(231, 8);
        }
        for (int k = 0; k < 258; ++k) expect.push_back(expect[expect.size() - distance]);
        FixedLiteral(w, i % 256);
        expect.push_back(static_cast<std::uint8_t>(i % 256));
    }
    FixedLiteral(w, 256);
    const Bytes stream = w.Finish();

    for (std::size_t readSize : {std::size_t{0}, std::size_t{7}, std::size_t{16385}}) {
        const Result r = Inflate(stream, readSize);
        ASSERT_TRUE(r.ok) << "read size " << readSize;
        ASSERT_EQ(r.output.size(), expect.size());
        EXPECT_TRUE(r.output == expect) << "read size " << readSize;
    }
}

TEST(InflateCases, RefusedWriteIsAFailure) {
    BitWriter w;
    StoredBlock(w, true, RandomBytes(40000, 9));
    const Bytes stream = w.Finish();
    for (std::size_t capacity : {std::size_t{0}, std::size_t{32768}, std::size_t{39999}}) {
        TrickleStream source(stream, stream.size());
        FullStream output(capacity);
        EXPECT_FALSE(InflateStream(source, output)) << "capacity " << capacity;
    }
    TrickleStream source(stream, stream.size());
    FullStream output(40000);
    EXPECT_TRUE(InflateStream(source, output));
}

namespace {

// A source that, whenever it fills a read completely, claims 7 bytes more than were asked for.
class OverReportingStream : public tk::TMemoryStream {
public:
    using tk::TMemoryStream::TMemoryStream;
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t got = tk::TMemoryStream::Read(buffer, count);
        return got == count ? got + 7 : got;
    }
};

// An output that refuses its n-th write (counted from 1) and accepts all others.
class RefusingStream : public tk::TMemoryStream {
public:
    explicit RefusingStream(int refused) : refused_(refused) {}
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        return ++writes_ == refused_ ? 0 : tk::TMemoryStream::Write(buffer, count);
    }

private:
    int refused_;
    int writes_ = 0;
};

}  // namespace

// Only the bytes a read says it delivered and that fit the input buffer are decoded.
TEST(InflateCases, SourceReportingMoreThanAskedForIsReadOnlyUpToTheRequest) {
    BitWriter w;
    const Bytes data = RandomBytes(40000, 5);
    StoredBlock(w, true, data);
    OverReportingStream source(w.Finish());
    tk::TMemoryStream output;
    EXPECT_TRUE(InflateStream(source, output));
    EXPECT_TRUE(output.Bytes() == data);
}

// Output crosses the window's 65536 mark inside a stored block (read from the input buffer and,
// at some alignments, from the bit buffer), on a literal, and inside a match. Each time the
// first or the second 32768-byte write is refused, the decode fails, though later writes succeed.
TEST(InflateCases, RefusedFlushIsAFailure) {
    std::vector<std::pair<std::string, Bytes>> streams;
    {
        BitWriter w;
        StoredBlock(w, false, RandomBytes(50000, 3));
        StoredBlock(w, true, RandomBytes(50000, 6));
        streams.emplace_back("stored blocks", w.Finish());
    }
    // A fixed block ending 1 to 3 bytes short of the mark, then a stored block. Its literals mix
    // 8-bit and 9-bit codes so that the stored block starts at every bit position of a word; at
    // some of them the block's first data bytes, those that cross the mark, are still in the
    // bit buffer.
    for (int shortBy = 1; shortBy <= 3; ++shortBy) {
        for (int nineBit = 0; nineBit < 32; ++nineBit) {
            BitWriter w;
            FixedHeader(w, false);
            FixedLiteral(w, 'a');
            for (int i = 0; i < 253; ++i) {
                FixedLiteral(w, 285);
                FixedDistance(w, 0);
            }
            const int literals = 65536 - shortBy - (1 + 253 * 258);
            for (int i = 0; i < literals; ++i) FixedLiteral(w, i < nineBit ? 200 : 'b');
            FixedLiteral(w, 256);
            StoredBlock(w, true, RandomBytes(300, 4));
            streams.emplace_back("stored block " + std::to_string(shortBy) + " bytes before the mark, " +
                                     std::to_string(nineBit) + " 9-bit literals",
                                 w.Finish());
        }
    }
    {
        BitWriter w;  // 1 + 253 * 258 = 65275 bytes, then 261 literals reach the mark exactly
        FixedHeader(w, true);
        FixedLiteral(w, 'a');
        for (int i = 0; i < 253; ++i) {
            FixedLiteral(w, 285);
            FixedDistance(w, 0);
        }
        for (int i = 0; i < 300; ++i) FixedLiteral(w, 'a' + i % 26);
        FixedLiteral(w, 256);
        streams.emplace_back("literal at the mark", w.Finish());
    }
    {
        BitWriter w;  // matches only: the mark falls inside the 255th match
        FixedHeader(w, true);
        FixedLiteral(w, 'a');
        for (int i = 0; i < 300; ++i) {
            FixedLiteral(w, 285);
            FixedDistance(w, 0);
        }
        FixedLiteral(w, 256);
        streams.emplace_back("match across the mark", w.Finish());
    }
    for (const auto& [name, stream] : streams) {
        SCOPED_TRACE(name);
        const Result full = Inflate(stream);
        ASSERT_TRUE(full.ok);
        for (int refused : {1, 2}) {
            for (std::size_t readSize : {std::size_t{0}, std::size_t{5}}) {
                TrickleStream source(stream, readSize == 0 ? stream.size() : readSize);
                RefusingStream output(refused);
                EXPECT_FALSE(InflateStream(source, output)) << "write " << refused << " refused, read size " << readSize;
            }
        }
    }
}

TEST(HuffmanTree, TableEntriesAndRejectedCodeSets) {
    // Lengths 2, 1, 3, 3 (RFC 1951's example shape): codes B=0, A=10, C=110, D=111.
    const std::vector<std::uint8_t> lengths = {9, 2, 1, 3, 3};
    const std::vector<std::uint8_t> extra = {4, 5};
    THuffmanTree tree(15);
    ASSERT_TRUE(tree.Build(lengths, 1, 4, extra, 2));
    EXPECT_EQ(tree.MaxLength, 3);
    ASSERT_EQ(tree.Table.size(), 8u);
    // Stream bits are read lowest first, so code 10 (A) appears as index bits 01.
    EXPECT_EQ(tree.Lookup(0b001), 0u | 2u << 16);
    EXPECT_EQ(tree.Lookup(0b101), 0u | 2u << 16);
    EXPECT_EQ(tree.Lookup(0b000), 1u | 1u << 16);
    EXPECT_EQ(tree.Lookup(0b110), 1u | 1u << 16);
    EXPECT_EQ(tree.Lookup(0b011), 2u | 3u << 16 | 4u << 24);  // 110 reversed, first extra symbol
    EXPECT_EQ(tree.Lookup(0b111), 3u | 3u << 16 | 5u << 24);
    EXPECT_EQ(tree.Lookup(0b111 | 0x100), tree.Lookup(0b111));  // bits above MaxLength ignored

    // Incomplete: one code of length 2 leaves three entries unfilled.
    const std::vector<std::uint8_t> one = {0, 2};
    ASSERT_TRUE(tree.Build(one, 0, 2, {}, 2));
    EXPECT_EQ(tree.Lookup(0), 1u | 2u << 16);
    for (std::uint32_t bits : {1u, 2u, 3u}) EXPECT_EQ(tree.Lookup(bits), THuffmanTree::kUnfilled);

    const std::vector<std::uint8_t> over = {1, 1, 1};
    EXPECT_FALSE(tree.Build(over, 0, 3, {}, 3));
    EXPECT_EQ(tree.Lookup(0), THuffmanTree::kUnfilled);  // a failed build decodes nothing
    THuffmanTree small(7);
    const std::vector<std::uint8_t> tooLong = {1, 8};
    EXPECT_FALSE(small.Build(tooLong, 0, 2, {}, 2));
    // Ranges outside the array are refused even when the bytes after it would make a valid code.
    const std::uint8_t buffer[] = {0, 2, 1, 1};
    const std::span<const std::uint8_t> head(buffer, 2);
    EXPECT_FALSE(small.Build(head, 1, 2, {}, 2));
    EXPECT_FALSE(small.Build(head, -1, 2, {}, 2));
    EXPECT_FALSE(small.Build(head, 0, -1, {}, 2));
    const std::vector<std::uint8_t> tooMany(THuffmanTree::kMaxSymbols + 1, 0);
    EXPECT_FALSE(tree.Build(tooMany, 0, THuffmanTree::kMaxSymbols + 1, {}, 0));
    EXPECT_TRUE(tree.Build(tooMany, 0, THuffmanTree::kMaxSymbols, {}, 0));

    // Symbols past the end of the extra-bit array get no extra bits.
    const std::uint8_t extras[] = {4, 9};
    const std::vector<std::uint8_t> two = {1, 1};
    ASSERT_TRUE(tree.Build(two, 0, 2, std::span<const std::uint8_t>(extras, 1), 0));
    EXPECT_EQ(THuffmanTree::ExtraBits(tree.Lookup(0)), 4u);
    EXPECT_EQ(THuffmanTree::ExtraBits(tree.Lookup(1)), 0u);
}

namespace {

std::string ReasonName(InflateError error) { return InflateErrorText(error); }

// The reason each refused named stream gives, and streams for the checks no named stream reaches.
std::vector<std::pair<std::string, InflateError>> NamedReasons() {
    using E = InflateError;
    return {
        {"empty input", E::InputEnded},
        {"block type 3", E::ReservedBlockType},
        {"block type 3 before a valid final block", E::ReservedBlockType},
        {"stored length complement wrong", E::StoredLengthMismatch},
        {"stored header cut short", E::InputEnded},
        {"stored data cut short", E::InputEnded},
        {"non-final block then end of input", E::InputEnded},
        {"fixed block without end-of-block code", E::InputEnded},
        {"end-of-block code in the padding after the input", E::InputEnded},
        {"distance before the first byte", E::DistanceTooFar},
        {"distance one past the output so far", E::DistanceTooFar},
        {"length symbol 286", E::BadLiteralSymbol},
        {"length symbol 287", E::BadLiteralSymbol},
        {"distance symbol 30", E::BadDistanceSymbol},
        {"distance symbol 31", E::BadDistanceSymbol},
        {"HLIT 287", E::TooManyLiteralCodes},
        {"HLIT 288", E::TooManyLiteralCodes},
        {"HDIST 31", E::TooManyDistanceCodes},
        {"HDIST 32", E::TooManyDistanceCodes},
        {"repeat code 16 as the first code length", E::RepeatWithoutPrevious},
        {"input ends inside the code lengths", E::InputEnded},
        {"zero repeat past HLIT + HDIST", E::RepeatPastEnd},
        {"previous-length repeat past HLIT + HDIST", E::RepeatPastEnd},
        {"over-subscribed code-length code", E::BadCodeLengthCode},
        {"over-subscribed literal/length code", E::BadLiteralCodeSet},
        {"unused literal/length code", E::BadLiteralSymbol},
        {"unused distance code", E::BadDistanceSymbol},
        {"length with no distance codes", E::BadDistanceSymbol},
        {"no end-of-block code", E::NoEndOfBlockCode},
        {"code-length code with no codes", E::UnusedCodeLengthCode},
    };
}

InflateError ReasonOf(const std::string& name) {
    for (const auto& [caseName, error] : NamedReasons()) {
        if (caseName == name) return error;
    }
    ADD_FAILURE() << "no reason listed for " << name;
    return InflateError::None;
}

}  // namespace

// Every refused named stream says why, whatever the read size; streams that fail inside compressed
// data say so too when enough input follows for the decoder's unchecked fast loop to reach the
// fault (the bytes after it are never interpreted).
TEST(InflateCases, EachRefusalGivesItsReason) {
    for (const Case& c : NamedCases()) {
        if (c.ok) continue;
        const InflateError expected = ReasonOf(c.name);
        for (std::size_t readSize : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
            SCOPED_TRACE(c.name + " read size " + std::to_string(readSize));
            EXPECT_EQ(ReasonName(Inflate(c.input, readSize).error), ReasonName(expected));
        }
        if (expected == InflateError::InputEnded) continue;
        Bytes padded = c.input;
        padded.insert(padded.end(), 64, 0);
        SCOPED_TRACE(c.name + " followed by 64 zero bytes");
        const Result r = Inflate(padded);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(ReasonName(r.error), ReasonName(expected));
    }

    // A final block whose literal/length code is one of 'a' and end-of-block (1 bit each) and whose
    // distance codes are given: three of length 1 are over-subscribed.
    std::vector<int> literals(257, 0);
    literals['a'] = 1;
    literals[256] = 1;
    {
        BitWriter w;
        PlainDynamicHeader(w, true, literals, {1, 1, 1});
        w.Bits(0, 8);
        const Result r = Inflate(w.Finish());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(ReasonName(r.error), ReasonName(InflateError::BadDistanceCodeSet));
    }
    // A code-length code with only the codes for 0 and 1 (incomplete): bits matching neither are
    // refused.
    {
        std::vector<int> clLengths(19, 0);
        clLengths[0] = 2;
        clLengths[1] = 2;
        BitWriter w;
        DynamicHeader(w, true, 0, 0, clLengths, {});
        w.Bits(0xFFFFFFFF, 32);
        const Result r = Inflate(w.Finish());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(ReasonName(r.error), ReasonName(InflateError::UnusedCodeLengthCode));
    }
    // The input ends inside the code-length code's lengths, long before the code lengths.
    {
        BitWriter w;
        w.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5).Bits(15, 4);
        const Result r = Inflate(w.Finish());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(ReasonName(r.error), ReasonName(InflateError::InputEnded));
    }
    // A stream cut short and a refused write.
    {
        BitWriter w;
        StoredBlock(w, true, RandomBytes(40000, 9));
        Bytes stream = w.Finish();
        TrickleStream source(stream, stream.size());
        FullStream output(100);
        InflateError error = InflateError::None;
        EXPECT_FALSE(InflateStream(source, output, error));
        EXPECT_EQ(ReasonName(error), ReasonName(InflateError::WriteRefused));
        stream.resize(30000);
        EXPECT_EQ(ReasonName(Inflate(stream).error), ReasonName(InflateError::InputEnded));
    }
    EXPECT_EQ(ReasonName(Inflate(FixedStream({Lit('a')})).error), ReasonName(InflateError::None));
}

// Faults after 200 literals of a fixed block with 64 bytes after them: the decoder meets them in
// its unchecked fast loop, with enough input left that no careful step runs.
TEST(InflateCases, FaultsInTheFastLoopGiveTheirReasons) {
    struct FastCase {
        std::string name;
        std::vector<Sym> fault;
        InflateError error;
    };
    const std::vector<FastCase> cases = {
        {"length symbol 286", {{286}, Dist(0)}, InflateError::BadLiteralSymbol},
        {"length symbol 287", {{287}, Dist(0)}, InflateError::BadLiteralSymbol},
        {"distance symbol 30", {{257}, Dist(30)}, InflateError::BadDistanceSymbol},
        {"distance symbol 31", {{257}, Dist(31)}, InflateError::BadDistanceSymbol},
        {"distance 201 after 200 bytes", {LengthSym(3), DistanceSym(201)}, InflateError::DistanceTooFar},
        {"distance 32768 after 200 bytes", {LengthSym(258), DistanceSym(32768)}, InflateError::DistanceTooFar},
    };
    for (const FastCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Sym> symbols;
        for (int i = 0; i < 200; ++i) symbols.push_back(Lit(static_cast<char>('a' + i % 26)));
        symbols.insert(symbols.end(), c.fault.begin(), c.fault.end());
        Bytes stream = FixedStream(symbols);
        stream.insert(stream.end(), 64, 0);
        for (std::size_t readSize : {std::size_t{0}, std::size_t{3}}) {
            const Result r = Inflate(stream, readSize);
            EXPECT_FALSE(r.ok);
            EXPECT_TRUE(r.output.empty());
            EXPECT_EQ(ReasonName(r.error), ReasonName(c.error));
        }
    }
    // The same 200 literals with a valid match decode, so only the fault is refused.
    std::vector<Sym> symbols;
    for (int i = 0; i < 200; ++i) symbols.push_back(Lit(static_cast<char>('a' + i % 26)));
    symbols.push_back(LengthSym(3));
    symbols.push_back(DistanceSym(200));
    Bytes stream = FixedStream(symbols);
    stream.insert(stream.end(), 64, 0);
    const Result r = Inflate(stream);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.output.size(), 203u);
}

// Into a plain memory stream positioned at its end the decoder writes in place. The bytes already
// there are kept and are no history: a distance reaching into them is refused.
TEST(InflateInPlace, AppendsAfterBytesAlreadyThereThatNoDistanceReaches) {
    auto decodeAfterPrefix = [](const Bytes& stream, Result& result) {
        TrickleStream source(stream, stream.size());
        tk::TMemoryStream output(Bytes(100, 'x'));
        output.Seek(0, tk::SeekOrigin::End);
        result.ok = InflateStream(source, output, result.error);
        EXPECT_EQ(output.Position(), output.Size());
        result.output.assign(output.Bytes().begin(), output.Bytes().end());
    };
    std::vector<Sym> symbols;
    for (int i = 0; i < 200; ++i) symbols.push_back(Lit(static_cast<char>('a' + i % 26)));
    std::vector<Sym> within = symbols, beyond = symbols;
    within.push_back(LengthSym(3));
    within.push_back(DistanceSym(200));
    beyond.push_back(LengthSym(3));
    beyond.push_back(DistanceSym(201));

    for (std::size_t tail : {std::size_t{0}, std::size_t{64}}) {  // careful loop, fast loop
        SCOPED_TRACE(tail);
        Bytes stream = FixedStream(within);
        stream.insert(stream.end(), tail, 0);
        Result r;
        decodeAfterPrefix(stream, r);
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.output.size(), 303u);
        EXPECT_TRUE(std::all_of(r.output.begin(), r.output.begin() + 100, [](std::uint8_t b) { return b == 'x'; }));
        EXPECT_EQ(std::string(r.output.begin() + 100, r.output.begin() + 103), "abc");
        EXPECT_EQ(std::string(r.output.end() - 3, r.output.end()), "abc");

        stream = FixedStream(beyond);
        stream.insert(stream.end(), tail, 0);
        decodeAfterPrefix(stream, r);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(ReasonName(r.error), ReasonName(InflateError::DistanceTooFar));
        EXPECT_EQ(r.output, Bytes(100, 'x'));
    }
}

// A memory stream positioned inside its bytes is written through the window as any stream is:
// the decoded bytes replace as many as there are and the rest stay.
TEST(InflateInPlace, AStreamPositionedInsideItsBytesKeepsThoseAfterTheOutput) {
    const Bytes stream = FixedStream({Lit('a'), Lit('b'), Lit('c')});
    TrickleStream source(stream, stream.size());
    tk::TMemoryStream output(Bytes(50, 'z'));
    output.SetPosition(10);
    ASSERT_TRUE(InflateStream(source, output));
    Bytes expect(50, 'z');
    expect[10] = 'a';
    expect[11] = 'b';
    expect[12] = 'c';
    EXPECT_EQ(output.Bytes(), expect);
    EXPECT_EQ(output.Position(), 13);
}

namespace {

// A source that throws once it has handed out `limit` bytes.
class FailingSource : public tk::TMemoryStream {
public:
    FailingSource(deflatetest::Bytes bytes, std::int64_t limit) : tk::TMemoryStream(std::move(bytes)), limit_(limit) {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        if (Position() >= limit_) throw std::runtime_error("source gone");
        return tk::TMemoryStream::Read(buffer, std::min(count, limit_ - Position()));
    }

private:
    std::int64_t limit_;
};

class OtherOutput : public tk::TMemoryStream {};

}  // namespace

// An exception from the source passes through; what stays in the output is what a decode
// through the window has written by then, whole slices, also when the output is decoded in place.
TEST(InflateInPlace, AnExceptionLeavesTheWrittenSlicesOnly) {
    BitWriter w;
    StoredBlock(w, false, RandomBytes(60000, 4));
    StoredBlock(w, true, RandomBytes(60000, 5));
    const Bytes stream = w.Finish();
    for (std::int64_t limit : {std::int64_t{20000}, std::int64_t{120000}}) {
        SCOPED_TRACE(limit);
        FailingSource inPlaceSource(stream, limit), windowSource(stream, limit);
        tk::TMemoryStream inPlace(Bytes(7, 'p'));
        inPlace.Seek(0, tk::SeekOrigin::End);
        OtherOutput window;
        window.WriteBuffer(Bytes(7, 'p').data(), 7);
        EXPECT_THROW(InflateStream(inPlaceSource, inPlace), std::runtime_error);
        EXPECT_THROW(InflateStream(windowSource, window), std::runtime_error);
        EXPECT_EQ(inPlace.Bytes(), window.Bytes());
        EXPECT_EQ(inPlace.Position(), inPlace.Size());
        EXPECT_EQ((inPlace.Size() - 7) % 32768, 0);
    }
}

// A memory stream at its end that is the source as well gives nothing to read, whatever the
// decoder does with its output: the decode fails for want of input and the stream is unchanged.
TEST(InflateInPlace, AStreamThatIsAlsoTheSourceIsNotGrownUnderItsReader) {
    const Bytes stream = FixedStream({Lit('a'), Lit('b'), Lit('c')});
    tk::TMemoryStream both(stream);
    both.Seek(0, tk::SeekOrigin::End);
    InflateError error = InflateError::None;
    EXPECT_FALSE(InflateStream(both, both, error));
    EXPECT_EQ(ReasonName(error), ReasonName(InflateError::InputEnded));
    EXPECT_EQ(both.Bytes(), stream);
}

// The fast loop's reads stay inside the input buffer however close to its end a block starts.
// A fixed block of filler literals puts the start of a dynamic block at every byte and bit
// position around the end of a full input buffer; the dynamic block opens with the most bits a
// fast-loop iteration takes before its second refill (two 11-bit literals, the longest the main
// table holds), then an 11-bit length code with 5 extra bits and a 15-bit distance code with 12
// extra bits. A refill reading past the buffer is caught by the address sanitizer of the
// native-asan test run.
TEST(InflateCases, LongCodesWhereABlockStartsNearTheEndOfTheInputBuffer) {
    // A complete code: lengths 1 to 9, then four of 11 bits.
    std::vector<int> literalLengths(282, 0);
    literalLengths['a'] = 1;
    literalLengths[256] = 2;
    for (int i = 0; i < 7; ++i) literalLengths['b' + i] = 3 + i;
    literalLengths['x'] = 11;
    literalLengths['y'] = 11;
    literalLengths['z'] = 11;
    literalLengths[281] = 11;  // lengths 131 to 162, 5 extra bits
    std::vector<int> distanceLengths(28, 0);
    for (int i = 0; i < 14; ++i) distanceLengths[i] = 1 + i;
    distanceLengths[14] = 15;
    distanceLengths[27] = 15;  // distances 12289 to 16384, 12 extra bits

    int decoded = 0;
    for (int nineBit = 0; nineBit < 8; ++nineBit) {
        for (int filler = 32500; filler < 32660; ++filler) {
            BitWriter w;
            FixedHeader(w, false);
            for (int i = 0; i < nineBit; ++i) FixedLiteral(w, 200);
            for (int i = 0; i < filler; ++i) FixedLiteral(w, 'a');
            FixedLiteral(w, 256);
            const DynamicCodes c = PlainDynamicHeader(w, true, literalLengths, distanceLengths);
            w.Code(c.literal['x'], 11).Code(c.literal['y'], 11);
            w.Code(c.literal[281], 11).Bits(31, 5);          // length 162
            w.Code(c.distance[27], 15).Bits(0, 12);          // distance 12289
            w.Code(c.literal['a'], 1).Code(c.literal[256], 2);
            Bytes stream = w.Finish();
            stream.insert(stream.end(), 64, 0);
            const Result r = Inflate(stream);
            ASSERT_TRUE(r.ok) << "filler " << filler << ", 9-bit literals " << nineBit;
            ASSERT_EQ(r.output.size(), static_cast<std::size_t>(nineBit + filler + 2 + 162 + 1));
            ++decoded;
        }
    }
    EXPECT_EQ(decoded, 8 * 160);
}

// Input that ends inside a match, in the careful loop: the bits left after a long length code
// may be too few for the distance code, and the padding after the input must not be taken for
// them. Every cut fails as input that ended, with no more output than the literals before.
TEST(InflateCases, InputEndingBeforeADistanceCodeIsRefused) {
    std::vector<int> literalLengths(285, 0);
    literalLengths['a'] = 1;
    literalLengths[256] = 2;
    for (int i = 0; i < 12; ++i) literalLengths['b' + i] = 3 + i;
    literalLengths[284] = 15;  // lengths 227 to 257, 5 extra bits
    std::vector<int> distanceLengths(30, 0);
    distanceLengths[28] = 15;  // the all-zero code: distances 16385 to 24576, 13 extra bits
    distanceLengths[29] = 15;
    for (int literals = 0; literals < 40; ++literals) {
        BitWriter w;
        const DynamicCodes c = PlainDynamicHeader(w, true, literalLengths, distanceLengths);
        for (int i = 0; i < literals; ++i) w.Code(c.literal['a'], 1);
        w.Code(c.literal[284], 15).Bits(0, 5);
        w.Code(c.distance[28], 15).Bits(0, 13);
        const Bytes stream = w.Finish();
        for (std::size_t size = stream.size() / 2; size < stream.size(); ++size) {
            SCOPED_TRACE(testing::Message() << literals << " literals, cut at " << size);
            TrickleStream source(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size)), size + 1);
            FullStream output(100000);
            InflateError error = InflateError::None;
            EXPECT_FALSE(InflateStream(source, output, error));
            EXPECT_EQ(ReasonName(error), ReasonName(InflateError::InputEnded));
            EXPECT_LE(output.Size(), literals);
        }
    }
}

// The output limit: a stream whose output is exactly the limit decodes as without one; one byte
// less refuses it with its own reason, after writing only slices that lie within the limit. The
// streams end short of the first flush, exactly at it, and well past several, in stored blocks,
// literals and matches.
TEST(InflateLimit, OutputOfTheLimitPassesOneByteMoreIsRefused) {
    std::vector<std::pair<std::string, Bytes>> streams;
    streams.emplace_back("three literals", FixedStream({Lit('a'), Lit('b'), Lit('c')}));
    {
        BitWriter w;
        StoredBlock(w, true, {});
        streams.emplace_back("empty", w.Finish());
    }
    {
        BitWriter w;
        StoredBlock(w, true, RandomBytes(65536, 2));
        streams.emplace_back("stored block up to the first flush", w.Finish());
    }
    {
        BitWriter w;
        StoredBlock(w, false, RandomBytes(40000, 1));
        StoredBlock(w, false, RandomBytes(30000, 8));
        FixedHeader(w, true);
        FixedLiteral(w, 'z');
        for (int i = 0; i < 400; ++i) {
            FixedLiteral(w, 285);
            FixedDistance(w, i % 2 ? 0 : 3);
        }
        FixedLiteral(w, 256);
        streams.emplace_back("stored blocks and matches past several flushes", w.Finish());
    }
    streams.emplace_back("run of zeros", qdtest::ZeroBomb(1000));
    for (const auto& [name, stream] : streams) {
        SCOPED_TRACE(name);
        const Result full = Inflate(stream);
        ASSERT_TRUE(full.ok);
        const std::uint64_t n = full.output.size();
        for (std::size_t readSize : {std::size_t{0}, std::size_t{5}}) {
            const Result exact = Inflate(stream, readSize, n);
            EXPECT_TRUE(exact.ok);
            EXPECT_TRUE(exact.output == full.output);
            for (std::uint64_t limit : {n - 1, n / 2, std::uint64_t{0}}) {
                if (n == 0) break;
                SCOPED_TRACE(testing::Message() << "limit " << limit << " of " << n << ", read size " << readSize);
                const Result cut = Inflate(stream, readSize, limit);
                EXPECT_FALSE(cut.ok);
                EXPECT_EQ(ReasonName(cut.error), ReasonName(InflateError::OutputTooLong));
                EXPECT_LE(cut.output.size(), limit);
                EXPECT_TRUE(std::equal(cut.output.begin(), cut.output.end(), full.output.begin()));
            }
        }
    }
    EXPECT_EQ(Inflate(qdtest::ZeroBomb(1000)).output, Bytes(1 + 258 * 1000, 0));
}

// About 1 MB that decodes to 1 GiB of zeros, with a limit of 4096 bytes: refused as too long once
// the first 64 KB are decoded, having read little more than one input buffer and written nothing,
// through the window and in place.
TEST(InflateLimit, AGigabyteBombIsRefusedAfterReadingLittleOfIt) {
    const Bytes bomb = qdtest::ZeroBomb(qdtest::kGigabyteBombMatches);
    ASSERT_LT(bomb.size(), 1100000u);
    {
        qdtest::CountingSource source(bomb);
        qdtest::CountingSink output;
        InflateError error = InflateError::None;
        EXPECT_FALSE(InflateStream(source, output, error, 4096));
        EXPECT_EQ(ReasonName(error), ReasonName(InflateError::OutputTooLong));
        EXPECT_EQ(output.Written(), 0u);
        EXPECT_LE(source.BytesRead(), 20000u);
    }
    {
        qdtest::CountingSource source(bomb);
        tk::TMemoryStream output;
        InflateError error = InflateError::None;
        EXPECT_FALSE(InflateStream(source, output, error, 4096));
        EXPECT_EQ(ReasonName(error), ReasonName(InflateError::OutputTooLong));
        EXPECT_EQ(output.Size(), 0);
        EXPECT_LE(source.BytesRead(), 20000u);
    }
}
