#include "skin/deflate/Inflate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>

#include "skin/deflate/DeflateTables.h"
#include "toolkit/LittleEndian.h"

namespace {

constexpr std::size_t kInputSize = 16384;   // bytes per read from the source
constexpr std::size_t kWindowMark = 65536;  // the window is flushed when output reaches this mark
constexpr std::size_t kFlushSize = 32768;   // bytes written per flush; as much history stays
constexpr std::size_t kMaxMatch = 258;
// Matches are copied in pieces of up to 32 bytes, at least 16 bytes in all, which may write up
// to 31 bytes past the match's end; those bytes lie beyond the write position and are
// overwritten before anything reads them.
constexpr std::size_t kCopySlack = 32;
constexpr std::size_t kWindowSize = kWindowMark + kMaxMatch + kCopySlack;

THuffmanTree MakeFixedLiteralTree() {
    std::array<std::uint8_t, 288> lengths{};
    std::fill(lengths.begin(), lengths.begin() + 144, 8);
    std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
    std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
    std::fill(lengths.begin() + 280, lengths.end(), 8);
    THuffmanTree tree(15);
    tree.Build(lengths, 0, 288, deflate::LengthExtra, deflate::kFirstLengthSymbol);
    return tree;
}

THuffmanTree MakeFixedDistanceTree() {
    std::array<std::uint8_t, 32> lengths;
    lengths.fill(5);
    THuffmanTree tree(15);
    tree.Build(lengths, 0, 32, deflate::DistanceExtra, 0);
    return tree;
}

// The state of one decode: input buffer, bit buffer, output window and the trees of the current
// dynamic block.
//
// Bits. The bit buffer holds up to 64 not yet consumed stream bits, the next one lowest, and is
// topped up 32 bits at a time from little-endian words of the input buffer whenever it holds 32
// or fewer. Once the source is exhausted, the last 1 to 3 bytes form a word padded with zeros and
// after that whole zero words are supplied; those padding bytes are counted in synthetic_. They
// sit at the top of the bit buffer, so the decode has used bits the input does not contain
// exactly when synthetic_ * 8 exceeds bitCount_ (Overrun). A new word is refused once that has
// happened, which bounds the padding at 8 bytes and ends every loop on truncated input.
class TInflater {
public:
    TInflater(tk::TStream& source, tk::TStream& output)
        : source_(source),
          output_(output),
          input_(new std::uint8_t[kInputSize]),
          window_(new std::uint8_t[kWindowSize]) {}

    bool Run();

private:
    bool StoredBlock();
    bool DynamicBlock();
    bool InflateCodes(const THuffmanTree& literalTree, const THuffmanTree& distanceTree);

    void Refill();
    bool TakeWord();
    bool Need(unsigned count) { return bitCount_ >= count || TakeWord(); }
    std::uint32_t Peek(unsigned count) const {
        return static_cast<std::uint32_t>(bitBuf_ & ((std::uint64_t{1} << count) - 1));
    }
    void Drop(unsigned count) {
        bitBuf_ >>= count;
        bitCount_ -= count;
    }
    bool Overrun() const { return synthetic_ * 8 > bitCount_; }
    bool ReadByte(std::uint8_t& value);
    bool Flush();

    tk::TStream& source_;
    tk::TStream& output_;

    std::unique_ptr<std::uint8_t[]> input_;
    std::size_t inPos_ = 0;
    std::size_t inEnd_ = 0;
    bool sourceDone_ = false;

    std::uint64_t bitBuf_ = 0;
    unsigned bitCount_ = 0;
    unsigned synthetic_ = 0;

    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t outPos_ = 0;

    // Reused from one dynamic block to the next so their tables are not reallocated each time.
    THuffmanTree codeLengthTree_{7};
    THuffmanTree literalTree_{15};
    THuffmanTree distanceTree_{15};
};

// Moves the unread bytes to the front and fills the input buffer from the source.
void TInflater::Refill() {
    const std::size_t unread = inEnd_ - inPos_;
    std::memmove(input_.get(), input_.get() + inPos_, unread);
    inPos_ = 0;
    inEnd_ = unread;
    while (!sourceDone_ && inEnd_ < kInputSize) {
        const std::int64_t wanted = static_cast<std::int64_t>(kInputSize - inEnd_);
        const std::int64_t got = source_.Read(input_.get() + inEnd_, wanted);
        if (got <= 0) {
            sourceDone_ = true;
        } else {
            inEnd_ += static_cast<std::size_t>(std::min(got, wanted));
        }
    }
}

// Adds the next 32-bit word to the bit buffer. Precondition: bitCount_ <= 32.
bool TInflater::TakeWord() {
    if (inEnd_ - inPos_ < 4) Refill();
    const std::size_t available = inEnd_ - inPos_;
    std::uint32_t word = 0;
    if (available >= 4) {
        word = tk::LoadLE32(input_.get() + inPos_);
        inPos_ += 4;
    } else {
        if (Overrun()) return false;  // bits past the end of the input were used already
        for (std::size_t i = 0; i < available; ++i) word |= std::uint32_t{input_[inPos_ + i]} << (8 * i);
        inPos_ = inEnd_;
        synthetic_ += static_cast<unsigned>(4 - available);
    }
    bitBuf_ |= std::uint64_t{word} << bitCount_;
    bitCount_ += 32;
    return true;
}

// The next whole byte: first those left in the bit buffer (which must be byte-aligned), then the
// input buffer. Padding bytes are never returned.
bool TInflater::ReadByte(std::uint8_t& value) {
    if (bitCount_ >= 8) {
        if (bitCount_ / 8 <= synthetic_) return false;
        value = static_cast<std::uint8_t>(bitBuf_);
        Drop(8);
        return true;
    }
    if (inPos_ == inEnd_) {
        Refill();
        if (inPos_ == inEnd_) return false;
    }
    value = input_[inPos_++];
    return true;
}

// Writes the oldest 32768 bytes and keeps the rest as history.
bool TInflater::Flush() {
    if (output_.Write(window_.get(), kFlushSize) != static_cast<std::int64_t>(kFlushSize)) return false;
    std::memmove(window_.get(), window_.get() + kFlushSize, outPos_ - kFlushSize);
    outPos_ -= kFlushSize;
    return true;
}

bool TInflater::Run() {
    for (;;) {
        if (!Need(3)) return false;
        const bool final = Peek(1) != 0;
        const unsigned type = Peek(3) >> 1;
        Drop(3);
        bool ok = false;
        switch (type) {
            case 0: ok = StoredBlock(); break;
            case 1: ok = InflateCodes(FixedLiteralTree(), FixedDistanceTree()); break;
            case 2: ok = DynamicBlock(); break;
            default: ok = false; break;  // block type 3 is reserved: corrupt data
        }
        // A block whose last code ran into the padding after the input was cut short.
        if (!ok || Overrun()) return false;
        if (final) break;
    }
    return output_.Write(window_.get(), static_cast<std::int64_t>(outPos_)) == static_cast<std::int64_t>(outPos_);
}

// Stored block: LEN and its complement NLEN on the next byte boundary, then LEN bytes.
bool TInflater::StoredBlock() {
    Drop(bitCount_ % 8);
    std::uint8_t header[4];
    for (std::uint8_t& byte : header) {
        if (!ReadByte(byte)) return false;
    }
    std::size_t remaining = header[0] | header[1] << 8;
    const unsigned complement = header[2] | header[3] << 8;
    if ((remaining ^ complement) != 0xFFFF) return false;

    while (remaining > 0 && bitCount_ >= 8) {
        if (!ReadByte(window_[outPos_])) return false;
        --remaining;
        if (++outPos_ == kWindowMark && !Flush()) return false;
    }
    while (remaining > 0) {
        if (inPos_ == inEnd_) {
            Refill();
            if (inPos_ == inEnd_) return false;  // input ends inside the block
        }
        const std::size_t piece = std::min({remaining, inEnd_ - inPos_, kWindowMark - outPos_});
        std::memcpy(window_.get() + outPos_, input_.get() + inPos_, piece);
        inPos_ += piece;
        outPos_ += piece;
        remaining -= piece;
        if (outPos_ == kWindowMark && !Flush()) return false;
    }
    return true;
}

// Dynamic block: the header's code-length code, then the literal/length and distance code
// lengths encoded with it, then the compressed data.
bool TInflater::DynamicBlock() {
    if (!Need(14)) return false;
    const int literalCount = static_cast<int>(Peek(5)) + 257;
    Drop(5);
    const int distanceCount = static_cast<int>(Peek(5)) + 1;
    Drop(5);
    const int codeLengthCount = static_cast<int>(Peek(4)) + 4;
    Drop(4);
    if (literalCount > 286 || distanceCount > 30) return false;

    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (int i = 0; i < codeLengthCount; ++i) {
        if (!Need(3)) return false;
        codeLengthLengths[deflate::CodeLengthOrder[i]] = static_cast<std::uint8_t>(Peek(3));
        Drop(3);
    }
    if (!codeLengthTree_.Build(codeLengthLengths, 0, 19, {}, 19)) return false;

    // Longest code-length code (7) plus the longest repeat count (7 bits).
    std::array<std::uint8_t, 286 + 30> lengths{};
    const int total = literalCount + distanceCount;
    int n = 0;
    while (n < total) {
        if (!Need(14)) return false;
        const std::uint32_t entry = codeLengthTree_.Lookup(Peek(14));
        if (entry == THuffmanTree::kUnfilled) return false;
        const unsigned symbol = THuffmanTree::Symbol(entry);
        const unsigned length = THuffmanTree::CodeLength(entry);
        if (symbol < 16) {
            lengths[n++] = static_cast<std::uint8_t>(symbol);
            Drop(length);
            continue;
        }
        const std::uint32_t after = static_cast<std::uint32_t>(bitBuf_ >> length);
        std::uint8_t value = 0;
        int repeat = 0;
        if (symbol == 16) {
            if (n == 0) return false;  // nothing to repeat
            value = lengths[n - 1];
            repeat = 3 + static_cast<int>(after & 3);
            Drop(length + 2);
        } else if (symbol == 17) {
            repeat = 3 + static_cast<int>(after & 7);
            Drop(length + 3);
        } else {
            repeat = 11 + static_cast<int>(after & 127);
            Drop(length + 7);
        }
        if (repeat > total - n) return false;  // runs past the declared code lengths
        std::fill_n(lengths.begin() + n, repeat, value);
        n += repeat;
    }
    if (lengths[256] == 0) return false;  // the block could never end

    if (!literalTree_.Build(lengths, 0, literalCount, deflate::LengthExtra, deflate::kFirstLengthSymbol) ||
        !distanceTree_.Build(lengths, literalCount, distanceCount, deflate::DistanceExtra, 0)) {
        return false;
    }
    return InflateCodes(literalTree_, distanceTree_);
}

// Decodes one compressed block up to and including its end-of-block code.
//
// The loop works on local copies of the bit buffer, input position and window position so they
// stay in registers; they are written back before anything that uses the members (taking a word
// at the end of the input buffer, flushing, returning). Each iteration starts by topping the bit
// buffer up to at least 33 bits, which covers the longest literal/length code with its extra bits
// (15 + 5); the distance is preceded by another top-up, covering 15 + 13. Every table entry that
// a code reaches has a code length of at least 1, so every iteration consumes input.
bool TInflater::InflateCodes(const THuffmanTree& literalTree, const THuffmanTree& distanceTree) {
    const std::uint32_t* const literalTable = literalTree.Table.data();
    const std::uint32_t literalMask = literalTree.Mask();
    const std::uint32_t* const distanceTable = distanceTree.Table.data();
    const std::uint32_t distanceMask = distanceTree.Mask();
    const std::uint8_t* const in = input_.get();
    std::uint8_t* const window = window_.get();

    std::uint64_t bits = bitBuf_;
    unsigned count = bitCount_;
    std::size_t inPos = inPos_;
    std::size_t inEnd = inEnd_;
    std::size_t outPos = outPos_;
    auto save = [&] {
        bitBuf_ = bits;
        bitCount_ = count;
        inPos_ = inPos;
        outPos_ = outPos;
    };
    auto load = [&] {
        bits = bitBuf_;
        count = bitCount_;
        inPos = inPos_;
        inEnd = inEnd_;
        outPos = outPos_;
    };
    auto topUp = [&]() -> bool {
        if (count > 32) return true;
        if (inEnd - inPos >= 4) {
            bits |= std::uint64_t{tk::LoadLE32(in + inPos)} << count;
            inPos += 4;
            count += 32;
            return true;
        }
        save();
        const bool ok = TakeWord();
        load();
        return ok;
    };
    auto fail = [&] {
        save();
        return false;
    };

    for (;;) {
        if (!topUp()) return fail();
        std::uint32_t entry = literalTable[bits & literalMask];
        std::uint32_t symbol = THuffmanTree::Symbol(entry);
        unsigned used = THuffmanTree::CodeLength(entry);
        if (symbol < 256) {
            window[outPos++] = static_cast<std::uint8_t>(symbol);
            bits >>= used;
            count -= used;
            if (outPos == kWindowMark) {
                save();
                if (!Flush()) return false;
                outPos = outPos_;
            }
            continue;
        }
        if (symbol == 256) {
            bits >>= used;
            count -= used;
            save();
            return true;
        }
        // 286 and 287 (fixed tree only) and unfilled entries are not lengths.
        if (symbol > static_cast<std::uint32_t>(deflate::kLastLengthSymbol)) return fail();
        unsigned extra = THuffmanTree::ExtraBits(entry);
        const std::size_t length = deflate::LengthBase[symbol - deflate::kFirstLengthSymbol] +
                                   static_cast<std::size_t>((bits >> used) & ((1u << extra) - 1));
        bits >>= used + extra;
        count -= used + extra;

        if (!topUp()) return fail();
        entry = distanceTable[bits & distanceMask];
        symbol = THuffmanTree::Symbol(entry);
        // 30 and 31 (fixed tree only) and unfilled entries are not distances.
        if (symbol > static_cast<std::uint32_t>(deflate::kLastDistanceSymbol)) return fail();
        used = THuffmanTree::CodeLength(entry);
        extra = THuffmanTree::ExtraBits(entry);
        const std::size_t distance =
            deflate::DistanceBase[symbol] + static_cast<std::size_t>((bits >> used) & ((1u << extra) - 1));
        bits >>= used + extra;
        count -= used + extra;

        // After the first flush at least 32768 bytes of history stay in the window, and no
        // distance exceeds 32768, so this rejects exactly the references before the first byte.
        if (distance > outPos) return fail();
        std::uint8_t* const to = window + outPos;
        const std::uint8_t* const from = to - distance;
        // Most matches are short and their distances vary, so each kind of copy starts with a
        // fixed amount written without a loop test; the slack after the window absorbs what is
        // written past the match's end (overwritten before anything reads it).
        if (distance >= 8) {
            // Each piece reads only bytes written before it, even when the ranges overlap.
            std::memcpy(to, from, 8);
            std::memcpy(to + 8, from + 8, 8);
            if (length > 16) {
                if (distance >= 32) {
                    for (std::size_t done = 16; done < length; done += 32) std::memcpy(to + done, from + done, 32);
                } else if (distance >= 16) {
                    for (std::size_t done = 16; done < length; done += 16) std::memcpy(to + done, from + done, 16);
                } else {
                    for (std::size_t done = 16; done < length; done += 8) std::memcpy(to + done, from + done, 8);
                }
            }
        } else if (distance == 1) {
            std::memset(to, *from, length);
        } else {
            // A pattern of 2 to 7 bytes: 16 bytes written one by one hold at least one whole
            // multiple of the distance that is 8 or more (its stride, at most 14); further 8-byte
            // pieces then copy from one stride back and never overlap the bytes they write.
            for (std::size_t i = 0; i < 16; ++i) to[i] = from[i];
            if (length > 16) {
                const std::size_t stride = distance * ((8 + distance - 1) / distance);
                for (std::size_t done = 16; done < length; done += 8) std::memcpy(to + done, to + done - stride, 8);
            }
        }
        outPos += length;
        if (outPos >= kWindowMark) {
            save();
            if (!Flush()) return false;
            outPos = outPos_;
        }
    }
}

}  // namespace

const THuffmanTree& FixedLiteralTree() {
    static const THuffmanTree tree = MakeFixedLiteralTree();
    return tree;
}

const THuffmanTree& FixedDistanceTree() {
    static const THuffmanTree tree = MakeFixedDistanceTree();
    return tree;
}

bool InflateStream(tk::TStream& source, tk::TStream& output) {
    TInflater inflater(source, output);
    return inflater.Run();
}
