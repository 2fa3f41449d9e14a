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
    amrRejected = 2,   // encrypted without a password, wrong password, wrong output length, or a
                       // recorded size beyond kMaxMemberSize
};

// Extracts MemberName (compared with ASCII letters folded to upper case) from the skin archive at
// ArchivePath into a file at OutputPath. A member whose recorded size exceeds skin::kMaxMemberSize
// is rejected before the output file is created; one that decodes to more than its recorded size
// is rejected as soon as its output passes that size, so the output never holds more than the
// recorded size. Whenever the result is not amrExtracted no output file is left behind. Never
// throws.
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
// The largest uncompressed member a skin may hold. A skin's pictures take a few megabytes at most;
// a larger recorded size is refused unread rather than written out to the temporary folder.
inline constexpr std::uint32_t kMaxMemberSize = 64u << 20;
inline constexpr std::int64_t kEndRecordSize = 22;
inline constexpr std::int64_t kDirectoryRecordSize = 46;
inline constexpr std::int64_t kLocalHeaderSize = 30;
inline constexpr std::int64_t kEncryptionHeaderSize = 12;

// Finds the member's directory record. Empty when the stream is not a skin archive (first two
// bytes, end record without comment in the last 22 bytes), when the directory runs past the end
// of the stream or holds a name longer than kMaxMemberNameLength, or when no record matches.
std::optional<DirectoryEntry> FindArchiveMember(tk::TStream& archive, std::string_view memberName);

// Whether a member of that recorded size is extracted at all (at most kMaxMemberSize).
bool MemberSizeAccepted(const DirectoryEntry& entry);

// Decodes the member's data into output (steps after the output exists), writing at most its
// recorded size. Returns amrExtracted when the decoder finished the final block, amrRejected for a
// missing or wrong password or data that decodes to more than the recorded size, amrFailed for
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
