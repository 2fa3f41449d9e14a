#include "skin/reader/ArchiveMember.h"

#include <array>
#include <system_error>
#include <vector>

#include "skin/deflate/Inflate.h"
#include "skin/reader/PkCrypt.h"
#include "toolkit/Exception.h"
#include "toolkit/LittleEndian.h"
#include "toolkit/Text.h"

namespace skin {

namespace {

using tk::LoadLE16;
using tk::LoadLE32;

// Reads exactly count bytes at position, or returns false (nothing outside the stream is used).
bool ReadAt(tk::TStream& stream, std::int64_t position, void* buffer, std::int64_t count) {
    if (stream.Seek(position, tk::SeekOrigin::Begin) != position) return false;
    return stream.Read(buffer, count) == count;
}

}  // namespace

std::optional<DirectoryEntry> FindArchiveMember(tk::TStream& archive, std::string_view memberName) {
    const std::int64_t size = archive.Size();
    std::uint8_t head[2];
    if (size < 2 || !ReadAt(archive, 0, head, 2) || head[0] != 'S' || head[1] != 'K') return std::nullopt;
    if (size < kEndRecordSize) return std::nullopt;
    const std::int64_t endPos = size - kEndRecordSize;
    std::uint8_t end[kEndRecordSize];
    if (!ReadAt(archive, endPos, end, kEndRecordSize)) return std::nullopt;
    if (LoadLE32(end) != 0x06054B50 || LoadLE16(end + 20) != 0) return std::nullopt;

    // Each record moves the position on by at least 46 bytes, so the walk ends.
    std::int64_t pos = LoadLE32(end + 16);
    while (pos < endPos) {
        std::uint8_t rec[kDirectoryRecordSize];
        if (!ReadAt(archive, pos, rec, kDirectoryRecordSize)) return std::nullopt;
        const std::uint16_t nameLength = LoadLE16(rec + 28);
        if (nameLength > kMaxMemberNameLength) return std::nullopt;
        std::string name(nameLength, '\0');
        if (nameLength && archive.Read(name.data(), nameLength) != nameLength) return std::nullopt;
        if (tk::SameTextIgnoringAsciiCase(name, memberName)) {
            DirectoryEntry entry;
            entry.flags = LoadLE16(rec + 8);
            entry.modTime = LoadLE16(rec + 12);
            entry.crc32 = LoadLE32(rec + 16);
            entry.uncompressedSize = LoadLE32(rec + 24);
            entry.localHeaderOffset = LoadLE32(rec + 42);
            entry.name = std::move(name);
            return entry;
        }
        pos += kDirectoryRecordSize + nameLength + LoadLE16(rec + 30) + LoadLE16(rec + 32);
    }
    return std::nullopt;
}

// Reads the rest of an archive through the cipher, a chunk at a time as it is asked for. Read-only
// and forward-only: the decoder only ever reads its source.
class DecryptingReader : public tk::TStream {
public:
    DecryptingReader(tk::TStream& archive, PkCipher& cipher) : archive_(archive), cipher_(cipher) {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t got = archive_.Read(buffer, count);
        if (got <= 0) return 0;
        cipher_.Decrypt(static_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(got));
        read_ += got;
        return got;
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, tk::SeekOrigin origin) override {
        if (offset != 0 || origin != tk::SeekOrigin::Current) throw tk::EReadError(L"Decrypted data cannot seek");
        return read_;
    }
    std::int64_t Size() override { return -1; }

private:
    tk::TStream& archive_;
    PkCipher& cipher_;
    std::int64_t read_ = 0;
};

bool MemberSizeAccepted(const DirectoryEntry& entry) { return entry.uncompressedSize <= kMaxMemberSize; }

ArchiveMemberResult DecodeArchiveMember(tk::TStream& archive, const DirectoryEntry& entry, std::string_view password,
                                        tk::TStream& output) {
    // The decoder stops as soon as the data decodes to more than the recorded size: the length
    // check would refuse such a member anyway, and a small member that expands without end is
    // refused after writing no more than the size it claims.
    auto decode = [&](tk::TStream& source) {
        InflateError error = InflateError::None;
        if (InflateStream(source, output, error, entry.uncompressedSize)) return amrExtracted;
        return error == InflateError::OutputTooLong ? amrRejected : amrFailed;
    };
    try {
        std::uint8_t local[kLocalHeaderSize];
        if (!ReadAt(archive, entry.localHeaderOffset, local, kLocalHeaderSize)) return amrFailed;
        const std::int64_t dataPos = static_cast<std::int64_t>(entry.localHeaderOffset) + kLocalHeaderSize +
                                     LoadLE16(local + 26) + LoadLE16(local + 28);
        if (dataPos > archive.Size()) return amrFailed;
        archive.Seek(dataPos, tk::SeekOrigin::Begin);

        if (!(entry.flags & 1)) return decode(archive);

        if (password.empty()) return amrRejected;
        PkCipher cipher(password);
        std::uint8_t header[kEncryptionHeaderSize];
        if (archive.Read(header, kEncryptionHeaderSize) != kEncryptionHeaderSize) return amrFailed;
        cipher.Decrypt(header, kEncryptionHeaderSize);
        const std::uint8_t check = (entry.flags & 8) ? static_cast<std::uint8_t>(entry.modTime >> 8)
                                                     : static_cast<std::uint8_t>(entry.crc32 >> 24);
        if (header[11] != check) return amrRejected;

        // The data after the encryption header is decrypted as the decoder reads it, so a member
        // that is refused (too long, damaged) costs no more of the archive than was decoded.
        DecryptingReader plain(archive, cipher);
        return decode(plain);
    } catch (...) {
        return amrFailed;
    }
}

ArchiveMemberResult CheckExtractedLength(ArchiveMemberResult result, std::int64_t outputLength,
                                         const DirectoryEntry& entry) {
    if (outputLength == 0 && result == amrExtracted) return amrFailed;
    if (outputLength != static_cast<std::int64_t>(entry.uncompressedSize)) return amrRejected;
    return result;
}

ArchiveMemberResult ExtractArchiveMemberFromStream(tk::TStream& archive, std::string_view memberName,
                                                   std::string_view password, tk::TStream& output) {
    std::optional<DirectoryEntry> entry;
    try {
        entry = FindArchiveMember(archive, memberName);
    } catch (...) {
        return amrFailed;
    }
    if (!entry) return amrFailed;
    if (!MemberSizeAccepted(*entry)) return amrRejected;
    ArchiveMemberResult result = DecodeArchiveMember(archive, *entry, password, output);
    std::int64_t length = 0;
    try {
        length = output.Size();
    } catch (...) {
    }
    return CheckExtractedLength(result, length, *entry);
}

}  // namespace skin

ArchiveMemberResult ExtractArchiveMember(const std::filesystem::path& ArchivePath, std::string_view MemberName,
                                         const std::filesystem::path& OutputPath, std::string_view Password) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ArchivePath, ec)) return amrFailed;

    ArchiveMemberResult result = amrFailed;
    bool outputCreated = false;
    try {
        tk::TFileStream archive(ArchivePath, tk::FileMode::OpenRead);
        const std::optional<skin::DirectoryEntry> entry = skin::FindArchiveMember(archive, MemberName);
        if (!entry) return amrFailed;
        if (!skin::MemberSizeAccepted(*entry)) return amrRejected;  // before any byte is written
        std::int64_t length = 0;
        {
            tk::TFileStream output(OutputPath, tk::FileMode::Create);
            outputCreated = true;
            result = skin::DecodeArchiveMember(archive, *entry, Password, output);
            try {
                length = output.Size();
            } catch (...) {
            }
        }
        result = skin::CheckExtractedLength(result, length, *entry);
    } catch (...) {
        // An archive that cannot be opened or an output that cannot be created.
        if (result == amrExtracted) result = amrFailed;
    }
    if (result != amrExtracted && outputCreated) std::filesystem::remove(OutputPath, ec);
    return result;
}
