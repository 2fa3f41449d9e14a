// Writing skin files: the record database and the "SK" archive around it. Used by the skin
// packing tool and by tests that need skin files of every shape. Compression is pluggable; the
// default stores the data in DEFLATE stored blocks, which every DEFLATE decoder reads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/reader/SkinData.h"

namespace skin {

using Bytes = std::vector<std::uint8_t>;

struct SkinRecordInput {
    std::string name;
    RecordKind kind = RecordKind::Integer;
    Bytes value;

    static SkinRecordInput Integer(std::string name, std::int32_t v);
    static SkinRecordInput Boolean(std::string name, std::uint8_t v);
    static SkinRecordInput String(std::string name, const std::string& text);
    static SkinRecordInput Bitmap(std::string name, Bytes bmpFile);
};

// Header (24 bytes, free bytes filled with a signature and the record count), then each record
// followed by its value, then the terminating record.
Bytes BuildSkinData(const std::vector<SkinRecordInput>& records);

// Raw DEFLATE data of the input.
using Compressor = std::function<Bytes(const Bytes&)>;
Bytes StoreDeflate(const Bytes& input);

struct ArchiveMemberInput {
    std::string name;
    Bytes content;             // uncompressed
    std::string password;      // empty: not encrypted
    bool checkFromTime = false;  // flag bit 3: the password check byte is the time's high byte
    std::uint16_t modTime = 0x6000;
    std::uint16_t modDate = 0x5821;
    Bytes extra;               // extra field of the directory record
    Bytes comment;             // comment of the directory record
};

// A skin archive ("SK" first, no archive comment) holding the members in order. The password
// header's random bytes come from a fixed seed so the output is reproducible.
Bytes BuildSkinArchive(const std::vector<ArchiveMemberInput>& members, const Compressor& compress = StoreDeflate);

// Little-endian helpers for tools and tests that patch files.
void Put16(Bytes& b, std::size_t at, std::uint16_t v);
void Put32(Bytes& b, std::size_t at, std::uint32_t v);
std::uint32_t Get32(const Bytes& b, std::size_t at);

}  // namespace skin
