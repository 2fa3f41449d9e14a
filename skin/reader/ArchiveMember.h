// Extraction of one member from a skin archive: a ZIP-layout file whose first two bytes read "SK".
// The member is located through the central directory, optionally decrypted with the traditional
// PKWARE cipher, and decoded as DEFLATE data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/Stream.h"

enum ArchiveMemberResult : int {
    amrExtracted = 0,  // the member was written to the output file
    amrFailed = 1,     // no skin archive, no such member, or nothing decoded
    amrRejected = 2,   // encrypted without a password, wrong password, or wrong output length
};

// Extracts MemberName (compared with ASCII letters folded to upper case) from the skin archive at
// ArchivePath into a file at OutputPath. Whenever the result is not amrExtracted no output file is
// left behind. Never throws.
ArchiveMemberResult ExtractArchiveMember(const std::filesystem::path& ArchivePath, std::string_view MemberName,
                                         const std::filesystem::path& OutputPath, std::string_view Password);

namespace skin {

// The fields of a central directory record that extraction uses.
struct DirectoryEntry {
    std::uint16_t flags = 0;
    std::uint16_t modTime = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t localHeaderOffset = 0;
    std::string name;
};

inline constexpr std::size_t kMaxMemberNameLength = 259;
inline constexpr std::int64_t kEndRecordSize = 22;
inline constexpr std::int64_t kDirectoryRecordSize = 46;
inline constexpr std::int64_t kLocalHeaderSize = 30;
inline constexpr std::int64_t kEncryptionHeaderSize = 12;

// Finds the member's directory record. Empty when the stream is not a skin archive (first two
// bytes, end record without comment in the last 22 bytes), when the directory runs past the end
// of the stream or holds a name longer than kMaxMemberNameLength, or when no record matches.
std::optional<DirectoryEntry> FindArchiveMember(tk::TStream& archive, std::string_view memberName);

// Decodes the member's data into output (steps after the output exists). Returns amrExtracted when
// the decoder finished the final block, amrRejected for a missing or wrong password, amrFailed for
// any other failure. The output length check is the caller's (see CheckExtractedLength).
ArchiveMemberResult DecodeArchiveMember(tk::TStream& archive, const DirectoryEntry& entry, std::string_view password,
                                        tk::TStream& output);

// The final verdict once the output exists: an empty output of a "successful" decode is a failure;
// an output whose length differs from the recorded size is a rejection.
ArchiveMemberResult CheckExtractedLength(ArchiveMemberResult result, std::int64_t outputLength,
                                         const DirectoryEntry& entry);

// Whole extraction from streams (archive in, member out) with the same results as
// ExtractArchiveMember; output holds the member only on amrExtracted.
ArchiveMemberResult ExtractArchiveMemberFromStream(tk::TStream& archive, std::string_view memberName,
                                                   std::string_view password, tk::TStream& output);

}  // namespace skin
