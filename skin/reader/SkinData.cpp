#include "skin/reader/SkinData.h"

#include <unordered_set>

#include "toolkit/LittleEndian.h"

namespace skin {

namespace {

using tk::LoadLE32;

[[noreturn]] void Malformed(const wchar_t* why) {
    throw ESkinDataError(std::wstring(L"Malformed skin data: ") + why);
}

bool Fits(std::uint64_t offset, std::uint64_t length, std::size_t size) {
    return offset <= size && length <= size - offset;
}

template <typename Visit>
void Walk(const std::uint8_t* data, std::size_t size, Visit&& visit) {
    if (size < 16) Malformed(L"header too short");
    if (LoadLE32(data + 12) != kSkinHeaderSize) Malformed(L"header size is not 24");
    if (size < kSkinHeaderSize) Malformed(L"header too short");
    std::uint32_t offset = LoadLE32(data + 20);
    // Offsets of the records seen so far: a chain that comes back to one of them is a loop.
    std::unordered_set<std::uint32_t> seen;
    for (;;) {
        if (!Fits(offset, kSkinRecordSize, size)) Malformed(L"record outside the data");
        if (!seen.insert(offset).second) Malformed(L"record chain loops");
        const std::uint8_t* rec = data + offset;
        const std::uint32_t next = LoadLE32(rec + 73);
        if (next == 0) return;  // the terminating record carries no value

        RawRecord r;
        std::size_t nameLength = 0;
        while (nameLength < kSkinRecordNameSize && rec[nameLength] != 0) ++nameLength;
        r.name.assign(reinterpret_cast<const char*>(rec), nameLength);
        r.kind = rec[64];
        r.dataOffset = LoadLE32(rec + 65);
        r.dataSize = LoadLE32(rec + 69);
        if (r.kind <= static_cast<std::uint8_t>(RecordKind::String)) {
            if (!Fits(r.dataOffset, r.dataSize, size)) Malformed(L"value outside the data");
            if (r.kind == static_cast<std::uint8_t>(RecordKind::Integer) && r.dataSize != 4)
                Malformed(L"integer value is not 4 bytes");
            if (r.kind == static_cast<std::uint8_t>(RecordKind::Boolean) && r.dataSize != 1)
                Malformed(L"boolean value is not 1 byte");
        }
        visit(r);
        offset = next;
    }
}

}  // namespace

SkinTables ParseSkinData(const std::uint8_t* data, std::size_t size) {
    SkinTables tables;
    Walk(data, size, [&](const RawRecord& r) {
        const std::uint8_t* value = data + r.dataOffset;
        const auto kind = static_cast<RecordKind>(r.kind);
        switch (kind) {
            case RecordKind::Bitmap:
                tables.bitmaps.emplace_back(r.name, tk::DecodeBmp(value, r.dataSize));
                break;
            case RecordKind::Integer:
                tables.integers.emplace_back(r.name, static_cast<std::int32_t>(LoadLE32(value)));
                break;
            case RecordKind::Boolean:
                tables.booleans.emplace_back(r.name, value[0]);
                break;
            case RecordKind::String:
                tables.strings.emplace_back(r.name, std::string(reinterpret_cast<const char*>(value), r.dataSize));
                break;
            default:
                return;  // unknown kinds are skipped
        }
        const std::size_t index = kind == RecordKind::Bitmap    ? tables.bitmaps.size()
                                  : kind == RecordKind::Integer ? tables.integers.size()
                                  : kind == RecordKind::Boolean ? tables.booleans.size()
                                                                : tables.strings.size();
        tables.order.emplace_back(kind, index - 1);
    });
    return tables;
}

std::vector<RawRecord> ListSkinRecords(const std::uint8_t* data, std::size_t size) {
    std::vector<RawRecord> records;
    Walk(data, size, [&](const RawRecord& r) { records.push_back(r); });
    return records;
}

}  // namespace skin
