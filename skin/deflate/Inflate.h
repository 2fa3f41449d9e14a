// Decoding of raw DEFLATE data (RFC 1951, no zlib or gzip framing, no checksum).
#pragma once

#include <cstdint>

#include "toolkit/Stream.h"

// Why a decode failed: one reason for each check the decoder makes.
enum class InflateError {
    None,
    InputEnded,             // the input ends before the final block is complete
    ReservedBlockType,      // block type 3
    StoredLengthMismatch,   // a stored block's NLEN is not the complement of LEN
    TooManyLiteralCodes,    // HLIT declares more than 286 literal/length code lengths
    TooManyDistanceCodes,   // HDIST declares more than 30 distance code lengths
    BadCodeLengthCode,      // the code-length code is over-subscribed
    UnusedCodeLengthCode,   // header bits that match no code of the code-length code
    RepeatWithoutPrevious,  // code-length symbol 16 before any length
    RepeatPastEnd,          // a repeat runs past the declared code lengths
    NoEndOfBlockCode,       // the literal/length code has no code for end-of-block
    BadLiteralCodeSet,      // the literal/length code lengths are over-subscribed
    BadDistanceCodeSet,     // the distance code lengths are over-subscribed
    BadLiteralSymbol,       // a literal/length code that is unused, 286 or 287
    BadDistanceSymbol,      // a distance code that is unused, 30 or 31
    DistanceTooFar,         // a match reaching back before the first decoded byte
    WriteRefused,           // the output accepted fewer bytes than it was given
    OutputTooLong,          // the stream decodes to more bytes than the caller's limit
};

// A short English description of a reason, e.g. "distance reaches before the start of the output".
const char* InflateErrorText(InflateError error);

// Decodes the DEFLATE stream read from source and writes the decoded bytes to output, block by
// block until the final block. Returns true when the final block has been decoded and all of its
// output written; false on corrupt data, input that ends before the final block is complete, or a
// short write; `error` (when given) then says which. Output produced before a failure stays
// written, in slices of 32768 bytes: a slice is written once 65536 bytes are decoded past its
// start. Bytes after the final block are not interpreted: the source may have been read up to
// 16384 bytes past them. Exceptions thrown by the streams themselves pass through. A plain
// tk::TMemoryStream positioned at its end is decoded into in place, without a window or copies;
// what it holds afterwards is the same as through writes.
//
// With an output limit, a stream that decodes to more than outputLimit bytes is refused with
// OutputTooLong, and no more than outputLimit bytes are ever written: a caller that knows how long
// the data should be (an archive member's recorded size) passes that length, so a small stream
// that would expand without end costs no more than the length it claims. The decode itself stops
// little more than 65536 bytes past the limit.
inline constexpr std::uint64_t kNoOutputLimit = ~std::uint64_t{0};
bool InflateStream(tk::TStream& source, tk::TStream& output);
bool InflateStream(tk::TStream& source, tk::TStream& output, InflateError& error,
                   std::uint64_t outputLimit = kNoOutputLimit);
