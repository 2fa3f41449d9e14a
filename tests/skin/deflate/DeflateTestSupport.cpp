#include "DeflateTestSupport.h"

#include <algorithm>
#include <stdexcept>

#include <gtest/gtest.h>

namespace deflatetest {

namespace {

// A memory stream the decoder does not take for a plain one: it decodes through its own window
// and hands the output over in written slices.
class WindowedOutput : public tk::TMemoryStream {};

template <class Output>
Result InflateInto(const Bytes& input, std::size_t readSize, std::uint64_t outputLimit) {
    TrickleStream source(input, readSize == 0 ? input.size() + 1 : readSize);
    Output output;
    Result result;
    result.ok = InflateStream(source, output, result.error, outputLimit);
    result.output.assign(output.Bytes().begin(), output.Bytes().end());
    return result;
}

}  // namespace

Result Inflate(const Bytes& input, std::size_t readSize, std::uint64_t outputLimit) {
    const Result direct = InflateInto<tk::TMemoryStream>(input, readSize, outputLimit);
    const Result windowed = InflateInto<WindowedOutput>(input, readSize, outputLimit);
    EXPECT_EQ(direct.ok, windowed.ok) << "decoding in place and through the window disagree";
    EXPECT_EQ(direct.error, windowed.error) << "decoding in place and through the window disagree";
    EXPECT_TRUE(direct.output == windowed.output)
        << "decoding in place gave " << direct.output.size() << " bytes, through the window " << windowed.output.size();
    return direct;
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

BitWriter& BitWriter::Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        if (bitCount_ % 8 == 0) bytes_.push_back(0);
        if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(1 << (bitCount_ % 8));
        ++bitCount_;
    }
    return *this;
}

BitWriter& BitWriter::Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bits((code >> i) & 1, 1);
    return *this;
}

BitWriter& BitWriter::AlignToByte() {
    while (bitCount_ % 8 != 0) Bits(0, 1);
    return *this;
}

BitWriter& BitWriter::Byte(std::uint8_t value) { return Bits(value, 8); }

Bytes BitWriter::Finish() { return bytes_; }

void FixedLiteral(BitWriter& w, int symbol) {
    if (symbol < 144) {
        w.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        w.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        w.Code(symbol - 256, 7);
    } else {
        w.Code(0xC0 + symbol - 280, 8);
    }
}

void FixedDistance(BitWriter& w, int symbol) { w.Code(symbol, 5); }

void StoredBlock(BitWriter& w, bool final, const Bytes& data) {
    w.Bits(final ? 1 : 0, 1).Bits(0, 2).AlignToByte();
    const auto len = static_cast<std::uint32_t>(data.size());
    w.Bits(len, 16).Bits(~len & 0xFFFF, 16);
    for (std::uint8_t b : data) w.Byte(b);
}

void FixedHeader(BitWriter& w, bool final) { w.Bits(final ? 1 : 0, 1).Bits(1, 2); }

std::vector<std::uint32_t> CanonicalCodes(const std::vector<int>& lengths) {
    std::vector<int> count(16, 0);
    for (int l : lengths) {
        if (l > 0) ++count[l];
    }
    std::vector<std::uint32_t> next(16, 0);
    std::uint32_t code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + count[bits - 1]) << 1;  // count[0] stays 0
        next[bits] = code;
    }
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] > 0) codes[i] = next[lengths[i]]++;
    }
    return codes;
}

std::vector<int> StandardCodeLengthLengths() {
    std::vector<int> lengths(19, 4);
    for (int s = 13; s < 19; ++s) lengths[s] = 5;
    return lengths;
}

DynamicCodes DynamicHeader(BitWriter& w, bool final, int hlitField, int hdistField,
                           const std::vector<int>& codeLengthLengths, const std::vector<LengthItem>& items) {
    static const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    w.Bits(final ? 1 : 0, 1).Bits(2, 2);
    w.Bits(hlitField, 5).Bits(hdistField, 5).Bits(19 - 4, 4);
    for (int i = 0; i < 19; ++i) w.Bits(codeLengthLengths[order[i]], 3);
    const auto clCodes = CanonicalCodes(codeLengthLengths);
    std::vector<int> all;
    for (const LengthItem& item : items) {
        w.Code(clCodes[item.symbol], codeLengthLengths[item.symbol]);
        if (item.symbol < 16) {
            all.push_back(item.symbol);
        } else if (item.symbol == 16) {
            w.Bits(item.extra, 2);
            all.insert(all.end(), 3 + item.extra, all.empty() ? 0 : all.back());
        } else if (item.symbol == 17) {
            w.Bits(item.extra, 3);
            all.insert(all.end(), 3 + item.extra, 0);
        } else {
            w.Bits(item.extra, 7);
            all.insert(all.end(), 11 + item.extra, 0);
        }
    }
    DynamicCodes codes;
    const std::size_t hlit = static_cast<std::size_t>(hlitField) + 257;
    all.resize(std::max(all.size(), hlit + 32), 0);
    codes.literalLengths.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(hlit));
    codes.distanceLengths.assign(all.begin() + static_cast<std::ptrdiff_t>(hlit),
                                 all.begin() + static_cast<std::ptrdiff_t>(hlit) + hdistField + 1);
    codes.literal = CanonicalCodes(codes.literalLengths);
    codes.distance = CanonicalCodes(codes.distanceLengths);
    return codes;
}

DynamicCodes PlainDynamicHeader(BitWriter& w, bool final, const std::vector<int>& literalLengths,
                                const std::vector<int>& distanceLengths) {
    std::vector<LengthItem> items;
    for (int l : literalLengths) items.push_back({l});
    for (int l : distanceLengths) items.push_back({l});
    return DynamicHeader(w, final, static_cast<int>(literalLengths.size()) - 257,
                         static_cast<int>(distanceLengths.size()) - 1, StandardCodeLengthLengths(), items);
}

std::int64_t TrickleStream::Read(void* buffer, std::int64_t count) {
    return tk::TMemoryStream::Read(buffer, std::min<std::int64_t>(count, static_cast<std::int64_t>(limit_)));
}

std::int64_t FullStream::Write(const void* buffer, std::int64_t count) {
    const std::int64_t room = static_cast<std::int64_t>(capacity_) - Size();
    return tk::TMemoryStream::Write(buffer, std::clamp<std::int64_t>(count, 0, room));
}

namespace {
std::uint32_t Next(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}
}  // namespace

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed | 1;
    for (auto& b : bytes) b = static_cast<std::uint8_t>(Next(state) >> 24);
    return bytes;
}

Bytes TextLike(std::size_t size, std::uint32_t seed) {
    static const char* const words[] = {"the",    "skin",   "folder", "menu",    "window", "of",
                                        "and",    "a",      "title",  "bar",     "button", "colour",
                                        "frame",  "style",  "to",     "shortcut", "path",  "is",
                                        "record", "bitmap", "theme",  "in",      "list",   "edit"};
    Bytes bytes;
    bytes.reserve(size + 16);
    std::uint32_t state = seed | 1;
    while (bytes.size() < size) {
        const std::uint32_t r = Next(state);
        const char* word = words[r % (sizeof(words) / sizeof(words[0]))];
        bytes.insert(bytes.end(), word, word + std::char_traits<char>::length(word));
        bytes.push_back((r >> 8) % 11 == 0 ? '\n' : ' ');
        if ((r >> 16) % 29 == 0) bytes.push_back(static_cast<std::uint8_t>('0' + (r >> 20) % 10));
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace deflatetest
