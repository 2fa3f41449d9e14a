#include "skin/deflate/Inflate.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <typeinfo>

#include "skin/deflate/DecodeTable.h"
#include "skin/deflate/DeflateTables.h"
#include "skin/deflate/HuffmanTree.h"
#include "toolkit/LittleEndian.h"

namespace {

using deflate::FixedDistanceTree;
using deflate::FixedLiteralTree;
using deflate::kDistanceMainBits;
using deflate::kLiteralMainBits;
using deflate::TDecodeTable;

constexpr std::size_t kInputSize = 16384;  // bytes per read from the source
constexpr std::size_t kBlockStartRead = 8;  // bytes read for a block header when none are left
constexpr std::size_t kFlushSize = 32768;  // bytes per write; as much history stays behind them
// A slice of kFlushSize bytes is written once the output reaches kFlushLead bytes past its start.
constexpr std::size_t kFlushLead = 2 * kFlushSize;
// The window holds kWindowSpan bytes of output before the unwritten bytes move to its front;
// after that slack for one literal run and one match (see the decode loops) with the bytes a
// match copy writes past its end.
constexpr std::size_t kWindowSpan = 262144;
constexpr std::size_t kWindowSlack = 512;
// The fast decode loop runs while this many input bytes are left in the input buffer. Its refill
// on entry may advance 7 bytes; the first iteration's refill before a match (after at most two
// 11-bit literals) 3 more; and its last refill loads 8 bytes from there: 18 bytes. Later
// iterations start inside the margin and read no more than 11 bytes past their start.
constexpr std::size_t kFastInputMargin = 24;

std::uint64_t LoadLE64(const std::uint8_t* p) {
    return std::uint64_t{tk::LoadLE32(p)} | std::uint64_t{tk::LoadLE32(p + 4)} << 32;
}

// Copies a match of length 3 to 258 from distance bytes back (1 to 32768, all inside the
// window). Most matches are short and their distances vary, so each kind of copy starts with a
// fixed amount written without a loop test; it may write up to 31 bytes past the match's end,
// which lie beyond the write position and are overwritten before anything reads them.
inline void CopyMatch(std::uint8_t* to, std::size_t distance, std::size_t length) {
    const std::uint8_t* const from = to - distance;
    if (distance >= 8) {
        // Each piece reads only bytes written before it, even when the ranges overlap. Three
        // words cover most matches without a length test; more would cost more than they save
        // when the source overlaps them, as reading back a word just stored is slow.
        for (std::size_t done = 0; done < 24; done += 8) std::memcpy(to + done, from + done, 8);
        if (length > 24) {
            if (distance >= 32) {
                for (std::size_t done = 24; done < length; done += 32) std::memcpy(to + done, from + done, 32);
            } else if (distance >= 16) {
                for (std::size_t done = 24; done < length; done += 16) std::memcpy(to + done, from + done, 16);
            } else {
                for (std::size_t done = 24; done < length; done += 8) std::memcpy(to + done, from + done, 8);
            }
        }
        return;
    }
    // A pattern of 1 to 7 bytes (a run, or pixels repeated): an 8-byte word starting with the
    // pattern is gathered from it once and stored at steps of the largest multiple of the
    // distance that fits in 8 bytes, so every store starts a repetition and nothing is read back.
    // Fixed counts and small tables keep branches and divisions out of it. (No distance of 0
    // reaches this: the codes that would give one are refused. Its row still steps forward.)
    static constexpr std::uint8_t kStep[8] = {8, 8, 8, 6, 8, 5, 6, 7};
    static constexpr std::uint8_t kSource[8][8] = {
        {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 0, 1, 0, 1, 0, 1}, {0, 1, 2, 0, 1, 2, 0, 1},
        {0, 1, 2, 3, 0, 1, 2, 3}, {0, 1, 2, 3, 4, 0, 1, 2}, {0, 1, 2, 3, 4, 5, 0, 1}, {0, 1, 2, 3, 4, 5, 6, 0}};
    std::uint8_t word[8];
    for (int i = 0; i < 8; ++i) word[i] = from[kSource[distance][i]];
    const std::size_t step = kStep[distance];
    for (std::size_t done = 0; done < length; done += step) std::memcpy(to + done, word, 8);
}

// How the fast loop ended: it left the rest to the careful loop, or the block ended, or the data
// is corrupt.
enum class FastOutcome { Margin, EndOfBlock, BadLiteralSymbol, BadDistanceSymbol, DistanceTooFar };

// The fast decode loop, run while at least kFastInputMargin bytes are left in the input buffer
// (in <= inLimit) and the output is before the flush mark (out < outLimit). Each of an
// iteration's refills (at most two) may then load 8 bytes without a check and leaves 56 to 63
// bits, enough for three literal codes (3 x 15 bits), or for a match: a length code with its
// extra bits (15 + 5) and a distance code with its extra bits (15 + 13). The last refill is the
// next iteration's. The output grows by at most 2 + 258 bytes past the flush mark, plus what a
// match copy writes beyond its end.
//
// Each iteration starts just after a refill with the main-table entry of the next code looked
// up, so the lookup overlaps the copy of the match before it. Literals are tested first; codes
// longer than the main table, the end of the block and unused codes take a branch of their own.
// The state lives in locals so it stays in registers, and is handed back at the end.
struct TFastLoop {
    const std::uint32_t* literalEntries;
    const std::uint32_t* distanceEntries;
    const std::uint8_t* inLimit;
    std::uint8_t* window;  // the first byte a distance may reach
    const std::uint8_t* outLimit;
    // Read and written back: the bit buffer and both positions.
    std::uint64_t bits;
    unsigned count;
    const std::uint8_t* in;
    std::uint8_t* out;
};

[[gnu::always_inline]] inline FastOutcome RunFastLoop(TFastLoop& state) {
    constexpr std::uint64_t kLiteralMask = (1u << kLiteralMainBits) - 1;
    constexpr std::uint64_t kDistanceMask = (1u << kDistanceMainBits) - 1;
    const std::uint32_t* const literalEntries = state.literalEntries;
    const std::uint32_t* const distanceEntries = state.distanceEntries;
    const std::uint8_t* const inLimit = state.inLimit;
    const std::uint8_t* const window = state.window;
    const std::uint8_t* const outLimit = state.outLimit;
    std::uint64_t bits = state.bits;
    unsigned count = state.count;
    const std::uint8_t* in = state.in;
    std::uint8_t* out = state.out;
    FastOutcome outcome = FastOutcome::Margin;

    auto refill = [&] {
        // Loads 8 bytes, keeps the whole bytes that fit: 56 to 63 bits after it.
        bits |= LoadLE64(in) << count;
        in += (63 - count) >> 3;
        count |= 56;
    };
    auto consume = [&](unsigned used) {
        bits >>= used;
        count -= used;
    };
    // A length or distance: the base plus the extra bits that follow the code.
    auto decodeValue = [&](std::uint32_t entry) {
        const unsigned used = TDecodeTable::UsedBits(entry);
        const std::size_t value = TDecodeTable::Value(entry) +
            static_cast<std::size_t>((bits & ((std::uint64_t{1} << used) - 1)) >> TDecodeTable::CodeLength(entry));
        bits >>= used;
        count -= used;
        return value;
    };
    // (The lambdas reach the locals directly, never through one another, so they stay in registers.)
    auto literal = [&](std::uint32_t entry) {
        *out++ = static_cast<std::uint8_t>(entry >> 16);
        bits >>= TDecodeTable::UsedBits(entry);
        count -= TDecodeTable::UsedBits(entry);
    };

    refill();
    std::uint32_t entry = literalEntries[bits & kLiteralMask];
    do {
        if (entry & TDecodeTable::kLiteral) {
            literal(entry);
            entry = literalEntries[bits & kLiteralMask];
            if (entry & TDecodeTable::kLiteral) {
                literal(entry);
                entry = literalEntries[bits & kLiteralMask];
                if (entry & TDecodeTable::kLiteral) {
                    literal(entry);
                    refill();
                    entry = literalEntries[bits & kLiteralMask];
                    continue;
                }
            }
            // A match after one or two literals starts with the bit buffer topped up too (the
            // entry stays valid: a refill only adds bits above those held).
            refill();
        }
        if (entry & TDecodeTable::kExceptional) {
            if (entry & TDecodeTable::kSubtable) {
                entry = TDecodeTable::SubtableEntry(literalEntries, kLiteralMainBits, entry, bits);
                if (entry & TDecodeTable::kLiteral) {
                    literal(entry);
                    refill();
                    entry = literalEntries[bits & kLiteralMask];
                    continue;
                }
            }
            if (entry & TDecodeTable::kInvalid) {
                outcome = FastOutcome::BadLiteralSymbol;
                break;
            }
            if (entry & TDecodeTable::kEndOfBlock) {
                consume(TDecodeTable::UsedBits(entry));
                outcome = FastOutcome::EndOfBlock;
                break;
            }
        }
        // A match starts with 56 bits or more: the length code with its extra bits takes up to 20,
        // the distance code with its extra bits up to 28, so no refill is needed between them.
        const std::size_t length = decodeValue(entry);
        entry = distanceEntries[bits & kDistanceMask];
        if (entry & (TDecodeTable::kSubtable | TDecodeTable::kInvalid)) {
            if (entry & TDecodeTable::kSubtable) {
                entry = TDecodeTable::SubtableEntry(distanceEntries, kDistanceMainBits, entry, bits);
            }
            if (entry & TDecodeTable::kInvalid) {
                outcome = FastOutcome::BadDistanceSymbol;
                break;
            }
        }
        const std::size_t distance = decodeValue(entry);
        // After the first move to the window's front at least 32768 bytes of history stay
        // before the write position, and no distance exceeds 32768, so this rejects exactly the
        // references before the first byte.
        if (distance > static_cast<std::size_t>(out - window)) {
            outcome = FastOutcome::DistanceTooFar;
            break;
        }
        refill();
        entry = literalEntries[bits & kLiteralMask];
        CopyMatch(out, distance, length);
        out += length;
    } while (in <= inLimit && out < outLimit);

    state.bits = bits;
    state.count = count;
    state.in = in;
    state.out = out;
    return outcome;
}

[[gnu::noinline]] FastOutcome FastLoopPlain(TFastLoop& state) { return RunFastLoop(state); }

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// The same loop compiled for processors with BMI2, whose shifts by a count in a register take
// one instruction and do not wait for the flags: about a tenth faster on text. Chosen at run time.
[[gnu::noinline, gnu::target("bmi2")]] FastOutcome FastLoopBmi2(TFastLoop& state) { return RunFastLoop(state); }

FastOutcome FastLoop(TFastLoop& state) {
    static const bool hasBmi2 = __builtin_cpu_supports("bmi2");
    return hasBmi2 ? FastLoopBmi2(state) : FastLoopPlain(state);
}
#else
FastOutcome FastLoop(TFastLoop& state) { return FastLoopPlain(state); }
#endif

// The state of one decode: input buffer, bit buffer, output window and the tables of the current
// dynamic block.
//
// Bits. The bit buffer holds up to 64 not yet consumed stream bits, the next one lowest. The
// careful paths top it up 32 bits at a time from little-endian words of the input buffer whenever
// it holds 32 or fewer. Once the source is exhausted, the last 1 to 3 bytes form a word padded
// with zeros and after that whole zero words are supplied; those padding bytes are counted in
// synthetic_. They sit at the top of the bit buffer, so the decode has used bits the input does
// not contain exactly when synthetic_ * 8 exceeds bitCount_ (Overrun). A new word is refused once
// that has happened, which bounds the padding at 8 bytes and ends every loop on truncated input.
//
// Output. Decoded bytes go to the window; written_ is the first byte not yet written out, and
// once the output reaches flushMark_ (kFlushLead past it) the kFlushSize bytes from written_ are
// written. When flushMark_ passes kWindowSpan the unwritten bytes, with at least kFlushSize bytes
// of history before the write position, move to the window's front.
//
// When the output is a memory stream positioned at its end, the stream's own bytes are the
// window: decoded bytes go straight to their place in it and nothing is copied or moved. The
// bookkeeping of written_ and flushMark_ stays the same, and the stream is kept kWindowSlack
// bytes longer than flushMark_ reaches; at the end it is cut to the decoded length, or after a
// failure to the slices a write would have delivered, so the caller sees the same bytes either way.
class TInflater {
public:
    TInflater(tk::TStream& source, tk::TStream& output, std::uint64_t outputLimit)
        : source_(source), output_(output), input_(new std::uint8_t[kInputSize]), limit_(outputLimit) {
        // Only a plain memory stream: a class derived from it may write differently.
        auto* memory = typeid(output) == typeid(tk::TMemoryStream) ? static_cast<tk::TMemoryStream*>(&output) : nullptr;
        if (memory && &output != &source && memory->Position() == memory->Size()) {
            memory_ = memory;
            base_ = static_cast<std::size_t>(memory->Size());
            GrowMemory();
        } else {
            ownedWindow_.reset(new std::uint8_t[kWindowSpan + kWindowSlack]);
            window_ = ownedWindow_.get();
        }
    }

    // Decodes the whole stream; a memory output is cut to what was delivered whatever the outcome,
    // also when a stream throws.
    bool Run() {
        if (!memory_) return Decode();
        bool ok = false;
        try {
            ok = Decode();
        } catch (...) {
            TrimMemory(written_);
            throw;
        }
        TrimMemory(ok ? outPos_ : written_);
        return ok;
    }
    InflateError Error() const { return error_; }

private:
    bool Decode();
    bool StoredBlock();
    bool DynamicBlock();
    bool InflateCodes(const TDecodeTable& literalTable, const TDecodeTable& distanceTable);

    void Refill(std::size_t wanted = kInputSize);
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
    // The number of bytes decoded so far, written or not.
    std::uint64_t Decoded() const { return flushed_ + (outPos_ - written_); }
    void GrowMemory();
    void TrimMemory(std::size_t length);
    // Records why the decode fails; a check that failed on padding bits means the input ended.
    bool Fail(InflateError error) {
        error_ = Overrun() ? InflateError::InputEnded : error;
        return false;
    }

    tk::TStream& source_;
    tk::TStream& output_;

    std::unique_ptr<std::uint8_t[]> input_;
    std::size_t inPos_ = 0;
    std::size_t inEnd_ = 0;
    bool sourceDone_ = false;

    std::uint64_t bitBuf_ = 0;
    unsigned bitCount_ = 0;
    unsigned synthetic_ = 0;

    std::unique_ptr<std::uint8_t[]> ownedWindow_;
    tk::TMemoryStream* memory_ = nullptr;  // the output, when its bytes are the window
    std::size_t base_ = 0;                 // where this decode's output starts in memory_
    std::uint8_t* window_ = nullptr;
    std::size_t outPos_ = 0;
    std::size_t written_ = 0;
    std::size_t flushMark_ = kFlushLead;
    std::uint64_t flushed_ = 0;  // bytes handed out in slices so far
    const std::uint64_t limit_;  // the most output the caller accepts

    InflateError error_ = InflateError::None;

    // Reused from one dynamic block to the next so their tables are not reallocated each time.
    THuffmanTree codeLengthTree_{7};
    TDecodeTable literalTable_{kLiteralMainBits};
    TDecodeTable distanceTable_{kDistanceMainBits};
};

// Moves the unread bytes to the front and reads from the source until the input buffer holds
// `wanted` bytes (at most kInputSize) or the source ends.
void TInflater::Refill(std::size_t wanted) {
    const std::size_t unread = inEnd_ - inPos_;
    std::memmove(input_.get(), input_.get() + inPos_, unread);
    inPos_ = 0;
    inEnd_ = unread;
    const std::size_t target = std::min(wanted, kInputSize);
    while (!sourceDone_ && inEnd_ < target) {
        const std::int64_t asked = static_cast<std::int64_t>(target - inEnd_);
        const std::int64_t got = source_.Read(input_.get() + inEnd_, asked);
        if (got <= 0) {
            sourceDone_ = true;
        } else {
            inEnd_ += static_cast<std::size_t>(std::min(got, asked));
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

// Writes the oldest unwritten kFlushSize bytes; moves what must stay to the front when the
// window is nearly used up. Refuses the stream, writing nothing more, once the bytes decoded so far
// exceed the output limit: the limit is checked here, once per slice, rather than per symbol, so
// the decode runs little more than kFlushLead bytes past it (a match and two literals more) and
// never writes past it.
bool TInflater::Flush() {
    if (Decoded() > limit_) {
        error_ = InflateError::OutputTooLong;
        return false;
    }
    flushed_ += kFlushSize;
    if (memory_) {
        written_ += kFlushSize;
        flushMark_ += kFlushSize;
        GrowMemory();
        return true;
    }
    std::uint8_t* const window = window_;
    if (output_.Write(window + written_, kFlushSize) != static_cast<std::int64_t>(kFlushSize)) {
        error_ = InflateError::WriteRefused;
        return false;
    }
    written_ += kFlushSize;
    flushMark_ += kFlushSize;
    if (flushMark_ > kWindowSpan) {
        // outPos_ >= written_ + kFlushSize here: the bytes from written_ on hold all the history
        // a distance can reach.
        std::memmove(window, window + written_, outPos_ - written_);
        outPos_ -= written_;
        flushMark_ -= written_;
        written_ = 0;
    }
    return true;
}

// Makes the memory output long enough for the decode to run to kWindowSlack past flushMark_;
// the window moves with the stream's bytes.
void TInflater::GrowMemory() {
    const auto needed = static_cast<std::int64_t>(base_ + flushMark_ + kWindowSlack);
    if (memory_->Size() < needed) memory_->SetSizeForWriting(needed);
    window_ = memory_->Memory() + base_;
}

void TInflater::TrimMemory(std::size_t length) {
    const auto end = static_cast<std::int64_t>(base_ + length);
    memory_->SetSizeForWriting(end);  // only ever shortens
    memory_->SetPosition(end);
}

bool TInflater::Decode() {
    for (;;) {
        // With the input buffer empty, only a few bytes are read for the block header: if the
        // block is stored, its data is then read straight into the window.
        if (bitCount_ < 3 && inEnd_ - inPos_ < 4) Refill(kBlockStartRead);
        if (!Need(3)) return Fail(InflateError::InputEnded);
        const bool final = Peek(1) != 0;
        const unsigned type = Peek(3) >> 1;
        Drop(3);
        bool ok = false;
        switch (type) {
            case 0: ok = StoredBlock(); break;
            case 1: ok = InflateCodes(FixedLiteralTree(), FixedDistanceTree()); break;
            case 2: ok = DynamicBlock(); break;
            default: ok = Fail(InflateError::ReservedBlockType); break;
        }
        if (!ok) return false;
        // A block whose last code ran into the padding after the input was cut short.
        if (Overrun()) return Fail(InflateError::InputEnded);
        if (final) break;
    }
    if (Decoded() > limit_) {
        error_ = InflateError::OutputTooLong;
        return false;
    }
    if (memory_) return true;
    const auto rest = static_cast<std::int64_t>(outPos_ - written_);
    if (output_.Write(window_ + written_, rest) != rest) {
        error_ = InflateError::WriteRefused;
        return false;
    }
    return true;
}

// Stored block: LEN and its complement NLEN on the next byte boundary, then LEN bytes, taken
// from the bit buffer, then the input buffer, then read from the source straight into the window.
bool TInflater::StoredBlock() {
    Drop(bitCount_ % 8);
    std::uint8_t header[4];
    for (std::uint8_t& byte : header) {
        if (!ReadByte(byte)) return Fail(InflateError::InputEnded);
    }
    std::size_t remaining = header[0] | header[1] << 8;
    const unsigned complement = header[2] | header[3] << 8;
    if ((remaining ^ complement) != 0xFFFF) return Fail(InflateError::StoredLengthMismatch);

    while (remaining > 0 && bitCount_ >= 8) {
        if (!ReadByte(window_[outPos_])) return Fail(InflateError::InputEnded);
        --remaining;
        if (++outPos_ == flushMark_ && !Flush()) return false;
    }
    while (remaining > 0) {
        std::uint8_t* const window = window_;
        const std::size_t room = std::min(remaining, flushMark_ - outPos_);
        std::size_t piece = 0;
        if (inPos_ < inEnd_) {
            piece = std::min(room, inEnd_ - inPos_);
            std::memcpy(window + outPos_, input_.get() + inPos_, piece);
            inPos_ += piece;
        } else {
            const std::int64_t got = sourceDone_ ? 0 : source_.Read(window + outPos_, static_cast<std::int64_t>(room));
            if (got <= 0) {
                sourceDone_ = true;
                return Fail(InflateError::InputEnded);  // input ends inside the block
            }
            piece = std::min(static_cast<std::size_t>(got), room);
        }
        outPos_ += piece;
        remaining -= piece;
        if (outPos_ == flushMark_ && !Flush()) return false;
    }
    return true;
}

// Dynamic block: the header's code-length code, then the literal/length and distance code
// lengths encoded with it, then the compressed data.
bool TInflater::DynamicBlock() {
    if (!Need(14)) return Fail(InflateError::InputEnded);
    const int literalCount = static_cast<int>(Peek(5)) + 257;
    Drop(5);
    const int distanceCount = static_cast<int>(Peek(5)) + 1;
    Drop(5);
    const int codeLengthCount = static_cast<int>(Peek(4)) + 4;
    Drop(4);
    if (literalCount > 286) return Fail(InflateError::TooManyLiteralCodes);
    if (distanceCount > 30) return Fail(InflateError::TooManyDistanceCodes);

    std::array<std::uint8_t, 19> codeLengthLengths{};
    for (int i = 0; i < codeLengthCount; ++i) {
        if (!Need(3)) return Fail(InflateError::InputEnded);
        codeLengthLengths[deflate::CodeLengthOrder[i]] = static_cast<std::uint8_t>(Peek(3));
        Drop(3);
    }
    if (!codeLengthTree_.Build(codeLengthLengths, 0, 19, {}, 19)) return Fail(InflateError::BadCodeLengthCode);

    // Longest code-length code (7) plus the longest repeat count (7 bits).
    std::array<std::uint8_t, 286 + 30> lengths{};
    const int total = literalCount + distanceCount;
    int n = 0;
    while (n < total) {
        if (!Need(14)) return Fail(InflateError::InputEnded);
        const std::uint32_t entry = codeLengthTree_.Lookup(Peek(14));
        if (entry == THuffmanTree::kUnfilled) return Fail(InflateError::UnusedCodeLengthCode);
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
            if (n == 0) return Fail(InflateError::RepeatWithoutPrevious);
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
        if (repeat > total - n) return Fail(InflateError::RepeatPastEnd);
        std::fill_n(lengths.begin() + n, repeat, value);
        n += repeat;
    }
    if (lengths[256] == 0) return Fail(InflateError::NoEndOfBlockCode);

    if (!literalTable_.Build(lengths.data(), literalCount, TDecodeTable::LiteralSymbols())) {
        return Fail(InflateError::BadLiteralCodeSet);
    }
    if (!distanceTable_.Build(lengths.data() + literalCount, distanceCount, TDecodeTable::DistanceSymbols())) {
        return Fail(InflateError::BadDistanceCodeSet);
    }
    return InflateCodes(literalTable_, distanceTable_);
}

// Decodes one compressed block up to and including its end-of-block code.
//
// The loops work on local copies of the bit buffer, input position and window position so they
// stay in registers; they are written back before anything that uses the members (taking a word
// at the end of the input buffer, flushing, returning). Every entry a code reaches has a code
// length of at least 1, so every iteration consumes input. Before each symbol the output is
// written out if it has reached the flush mark.
//
// The fast loop (FastLoop, above) runs while the input buffer holds kFastInputMargin bytes and
// the output is before the flush mark. The output then grows by at most 2 + 258 bytes past the
// flush mark, plus what a match copy writes beyond its end: all within kWindowSlack, as
// flushMark_ <= kWindowSpan (in place, the stream is kept kWindowSlack longer). The careful loop
// decodes one symbol at a time and tops the bit buffer up to 33 bits or more before each code,
// taking the input's last bytes (and the padding after them) word by word.
bool TInflater::InflateCodes(const TDecodeTable& literalTable, const TDecodeTable& distanceTable) {
    const std::uint8_t* const in = input_.get();
    std::uint8_t* window = window_;
    // Byte stores to the window may alias anything, so the tables are reached through locals.
    const std::uint32_t* const literalEntries = literalTable.Entries.data();
    const std::uint32_t* const distanceEntries = distanceTable.Entries.data();
    auto literalLookup = [literalEntries](std::uint64_t bits) {
        return TDecodeTable::Lookup(literalEntries, kLiteralMainBits, bits);
    };
    auto distanceLookup = [distanceEntries](std::uint64_t bits) {
        return TDecodeTable::Lookup(distanceEntries, kDistanceMainBits, bits);
    };

    std::uint64_t bits = bitBuf_;
    unsigned count = bitCount_;
    std::size_t inPos = inPos_;
    std::size_t inEnd = inEnd_;
    std::size_t outPos = outPos_;
    std::size_t flushMark = flushMark_;
    auto save = [&] {
        // The fast refill may leave bits of the next unread byte above the count; clear them.
        bitBuf_ = count < 64 ? bits & ((std::uint64_t{1} << count) - 1) : bits;
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
        flushMark = flushMark_;
        window = window_;
    };
    auto consume = [&](unsigned used) {
        bits >>= used;
        count -= used;
    };
    auto fail = [&](InflateError error) {
        save();
        return Fail(error);
    };

    for (;;) {
        if (outPos >= flushMark) {
            save();
            if (!Flush()) return false;
            load();
        }

        if (inEnd - inPos >= kFastInputMargin) {
            TFastLoop loop{literalEntries, distanceEntries, in + inEnd - kFastInputMargin, window, window + flushMark,
                           bits, count, in + inPos, window + outPos};
            const FastOutcome outcome = FastLoop(loop);
            bits = loop.bits;
            count = loop.count;
            inPos = static_cast<std::size_t>(loop.in - in);
            outPos = static_cast<std::size_t>(loop.out - window);
            switch (outcome) {
                case FastOutcome::Margin: continue;
                case FastOutcome::EndOfBlock: save(); return true;
                case FastOutcome::BadLiteralSymbol: return fail(InflateError::BadLiteralSymbol);
                case FastOutcome::BadDistanceSymbol: return fail(InflateError::BadDistanceSymbol);
                case FastOutcome::DistanceTooFar: return fail(InflateError::DistanceTooFar);
            }
        }

        // The careful loop: one symbol.
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
        if (!topUp()) return fail(InflateError::InputEnded);
        std::uint32_t entry = literalLookup(bits);
        if (entry & TDecodeTable::kLiteral) {
            window[outPos++] = static_cast<std::uint8_t>(TDecodeTable::Value(entry));
            consume(TDecodeTable::UsedBits(entry));
            continue;
        }
        if (entry & TDecodeTable::kInvalid) return fail(InflateError::BadLiteralSymbol);
        if (entry & TDecodeTable::kEndOfBlock) {
            consume(TDecodeTable::UsedBits(entry));
            save();
            return true;
        }
        unsigned used = TDecodeTable::UsedBits(entry);
        const std::size_t length = TDecodeTable::Value(entry) +
            static_cast<std::size_t>((bits & ((std::uint64_t{1} << used) - 1)) >> TDecodeTable::CodeLength(entry));
        consume(used);

        if (!topUp()) return fail(InflateError::InputEnded);
        entry = distanceLookup(bits);
        if (entry & TDecodeTable::kInvalid) return fail(InflateError::BadDistanceSymbol);
        used = TDecodeTable::UsedBits(entry);
        const std::size_t distance = TDecodeTable::Value(entry) +
            static_cast<std::size_t>((bits & ((std::uint64_t{1} << used) - 1)) >> TDecodeTable::CodeLength(entry));
        consume(used);
        if (distance > outPos) return fail(InflateError::DistanceTooFar);
        CopyMatch(window + outPos, distance, length);
        outPos += length;
    }
}

}  // namespace

const char* InflateErrorText(InflateError error) {
    switch (error) {
        case InflateError::None: return "no error";
        case InflateError::InputEnded: return "input ends before the final block is complete";
        case InflateError::ReservedBlockType: return "reserved block type 3";
        case InflateError::StoredLengthMismatch: return "stored block length does not match its complement";
        case InflateError::TooManyLiteralCodes: return "more than 286 literal/length code lengths";
        case InflateError::TooManyDistanceCodes: return "more than 30 distance code lengths";
        case InflateError::BadCodeLengthCode: return "over-subscribed code-length code";
        case InflateError::UnusedCodeLengthCode: return "code-length bits that match no code";
        case InflateError::RepeatWithoutPrevious: return "repeat of a previous code length at the start";
        case InflateError::RepeatPastEnd: return "code length repeat past the declared lengths";
        case InflateError::NoEndOfBlockCode: return "no code for end-of-block";
        case InflateError::BadLiteralCodeSet: return "over-subscribed literal/length code";
        case InflateError::BadDistanceCodeSet: return "over-subscribed distance code";
        case InflateError::BadLiteralSymbol: return "invalid literal/length code";
        case InflateError::BadDistanceSymbol: return "invalid distance code";
        case InflateError::DistanceTooFar: return "distance reaches before the start of the output";
        case InflateError::WriteRefused: return "the output refused a write";
        case InflateError::OutputTooLong: return "more output than the expected length";
    }
    return "unknown error";
}

bool InflateStream(tk::TStream& source, tk::TStream& output, InflateError& error, std::uint64_t outputLimit) {
    TInflater inflater(source, output, outputLimit);
    const bool ok = inflater.Run();
    error = ok ? InflateError::None : inflater.Error();
    return ok;
}

bool InflateStream(tk::TStream& source, tk::TStream& output) {
    InflateError error = InflateError::None;
    return InflateStream(source, output, error);
}
