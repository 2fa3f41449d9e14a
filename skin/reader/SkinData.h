// The record database inside a skin archive ("SKINDATA.SK2"): a 24-byte header and a chain of
// 77-byte entry records linked by absolute offsets, each naming a value of one of four kinds.
// Parsing is platform-free and works on a byte buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/BmpImage.h"
#include "toolkit/Exception.h"

namespace skin {

inline constexpr std::uint32_t kSkinHeaderSize = 24;
inline constexpr std::uint32_t kSkinRecordSize = 77;
inline constexpr std::size_t kSkinRecordNameSize = 64;

enum class RecordKind : std::uint8_t { Bitmap = 0, Integer = 1, Boolean = 2, String = 3 };

// A record database that breaks the format's limits: header size not 24, a record or value outside
// the data, a chain that returns to an earlier record, an integer or boolean of the wrong size.
class ESkinDataError : public tk::Exception { using tk::Exception::Exception; };

// One value of the chain as found, before interpretation.
struct RawRecord {
    std::string name;
    std::uint8_t kind = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t dataSize = 0;
};


// The decoded content of a record database, each table in chain order.
struct SkinTables {
    std::vector<std::pair<std::string, tk::BmpImage>> bitmaps;
    std::vector<std::pair<std::string, std::int32_t>> integers;
    std::vector<std::pair<std::string, std::uint8_t>> booleans;
    std::vector<std::pair<std::string, std::string>> strings;
    // Chain order across the tables: the kind of each loaded record and its index in that table.
    std::vector<std::pair<RecordKind, std::size_t>> order;
};

// Parses a whole record database. Bitmaps are decoded (tk::EInvalidGraphic for a bad one).
SkinTables ParseSkinData(const std::uint8_t* data, std::size_t size);

// The list of raw records (for tools that show a file's layout).
std::vector<RawRecord> ListSkinRecords(const std::uint8_t* data, std::size_t size);

}  // namespace skin
