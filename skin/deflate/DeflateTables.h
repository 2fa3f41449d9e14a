// The constant tables of the DEFLATE format (RFC 1951, section 3.2.5 and 3.2.7).
#pragma once

#include <array>
#include <cstdint>

namespace deflate {

// Literal/length symbols 257 to 285. Symbol 285 is length 258 with no extra bits; giving it its
// own row keeps the length decode a single table lookup.
inline constexpr int kFirstLengthSymbol = 257;
inline constexpr int kLastLengthSymbol = 285;
extern const std::array<std::uint16_t, 29> LengthBase;
// Extra bits by literal/length symbol minus 257. The fixed literal tree also holds the unused
// symbols 286 and 287, so the table runs to 31 rows (the last three 0) and a tree build never
// reads past its end.
extern const std::array<std::uint8_t, 31> LengthExtra;

// Distance symbols 0 to 29. Symbols 30 and 31 exist only in the fixed distance tree and never in
// valid data; they carry 14 extra bits and the decoder rejects them.
inline constexpr int kLastDistanceSymbol = 29;
extern const std::array<std::uint16_t, 30> DistanceBase;
extern const std::array<std::uint8_t, 32> DistanceExtra;

// The order in which a dynamic block header stores the code lengths of the code-length alphabet.
extern const std::array<std::uint8_t, 19> CodeLengthOrder;

// Bits of each byte value in reverse order.
extern const std::array<std::uint8_t, 256> ReverseByte;

}  // namespace deflate
