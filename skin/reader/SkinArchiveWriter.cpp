#include "skin/reader/SkinArchiveWriter.h"

#include <algorithm>
#include <cstring>

#include "skin/reader/ArchiveMember.h"
#include "skin/reader/PkCrypt.h"
#include "toolkit/LittleEndian.h"

namespace skin {

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return tk::LoadLE32(b.data() + at);
}

namespace {

void Append16(Bytes& b, std::uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}

void Append32(Bytes& b, std::uint32_t v) {
    Append16(b, v & 0xFFFF);
    Append16(b, v >> 16);
}

void AppendBytes(Bytes& b, const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    b.insert(b.end(), p, p + n);
}

}  // namespace

SkinRecordInput SkinRecordInput::Integer(std::string name, std::int32_t v) {
    Bytes b;
    Append32(b, static_cast<std::uint32_t>(v));
    return {std::move(name), RecordKind::Integer, std::move(b)};
}

SkinRecordInput SkinRecordInput::Boolean(std::string name, std::uint8_t v) {
    return {std::move(name), RecordKind::Boolean, Bytes{v}};
}

SkinRecordInput SkinRecordInput::String(std::string name, const std::string& text) {
    return {std::move(name), RecordKind::String, Bytes(text.begin(), text.end())};
}

SkinRecordInput SkinRecordInput::Bitmap(std::string name, Bytes bmpFile) {
    return {std::move(name), RecordKind::Bitmap, std::move(bmpFile)};
}

Bytes BuildSkinData(const std::vector<SkinRecordInput>& records) {
    Bytes out(kSkinHeaderSize, 0);
    std::memcpy(out.data(), "QDSKIN\x1A\x01", 8);
    Put32(out, 8, 1);  // layout version
    Put32(out, 12, kSkinHeaderSize);
    Put32(out, 16, static_cast<std::uint32_t>(records.size()));
    Put32(out, 20, kSkinHeaderSize);
    for (const SkinRecordInput& r : records) {
        const std::size_t at = out.size();
        out.resize(at + kSkinRecordSize, 0);
        std::memcpy(out.data() + at, r.name.data(), std::min(r.name.size(), kSkinRecordNameSize));
        out[at + 64] = static_cast<std::uint8_t>(r.kind);
        Put32(out, at + 65, static_cast<std::uint32_t>(at + kSkinRecordSize));
        Put32(out, at + 69, static_cast<std::uint32_t>(r.value.size()));
        AppendBytes(out, r.value.data(), r.value.size());
        Put32(out, at + 73, static_cast<std::uint32_t>(out.size()));
    }
    out.resize(out.size() + kSkinRecordSize, 0);  // terminating record: next offset 0
    return out;
}

Bytes StoreDeflate(const Bytes& input) {
    Bytes out;
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, input.size() - pos);
        const bool final = pos + n == input.size();
        out.push_back(final ? 1 : 0);  // BFINAL, BTYPE 00
        Append16(out, static_cast<std::uint16_t>(n));
        Append16(out, static_cast<std::uint16_t>(~n));
        AppendBytes(out, input.data() + pos, n);
        pos += n;
    } while (pos < input.size());
    return out;
}

Bytes BuildSkinArchive(const std::vector<ArchiveMemberInput>& members, const Compressor& compress) {
    Bytes out;
    Bytes directory;
    std::uint32_t seed = 0x5EED1234;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const ArchiveMemberInput& m = members[i];
        const std::uint32_t crc = Crc32(m.content.data(), m.content.size());
        Bytes data = compress(m.content);
        std::uint16_t flags = 0;
        if (!m.password.empty()) {
            flags |= 1;
            if (m.checkFromTime) flags |= 8;
            PkCipher cipher(m.password);
            Bytes header(kEncryptionHeaderSize);
            for (std::size_t k = 0; k < 11; ++k) {
                seed = seed * 1103515245u + 12345u;
                header[k] = static_cast<std::uint8_t>(seed >> 16);
            }
            header[11] = m.checkFromTime ? static_cast<std::uint8_t>(m.modTime >> 8) : static_cast<std::uint8_t>(crc >> 24);
            cipher.Encrypt(header.data(), header.size());
            cipher.Encrypt(data.data(), data.size());
            data.insert(data.begin(), header.begin(), header.end());
        }
        const std::uint32_t localOffset = static_cast<std::uint32_t>(out.size());
        // Local header; the file's first two bytes read "SK" instead of "PK".
        AppendBytes(out, i == 0 ? "SK\x03\x04" : "PK\x03\x04", 4);
        Append16(out, 20);
        // The fields the local header and the directory record share, in the same order.
        auto appendCommonFields = [&](Bytes& to) {
            Append16(to, flags);
            Append16(to, 8);
            Append16(to, m.modTime);
            Append16(to, m.modDate);
            Append32(to, crc);
            Append32(to, static_cast<std::uint32_t>(data.size()));
            Append32(to, static_cast<std::uint32_t>(m.content.size()));
            Append16(to, static_cast<std::uint16_t>(m.name.size()));
        };
        appendCommonFields(out);
        Append16(out, 0);
        AppendBytes(out, m.name.data(), m.name.size());
        AppendBytes(out, data.data(), data.size());

        AppendBytes(directory, "PK\x01\x02", 4);
        Append16(directory, 20);
        Append16(directory, 20);
        appendCommonFields(directory);
        Append16(directory, static_cast<std::uint16_t>(m.extra.size()));
        Append16(directory, static_cast<std::uint16_t>(m.comment.size()));
        Append16(directory, 0);
        Append16(directory, 0);
        Append32(directory, 0x20);
        Append32(directory, localOffset);
        AppendBytes(directory, m.name.data(), m.name.size());
        AppendBytes(directory, m.extra.data(), m.extra.size());
        AppendBytes(directory, m.comment.data(), m.comment.size());
    }
    const std::uint32_t directoryOffset = static_cast<std::uint32_t>(out.size());
    AppendBytes(out, directory.data(), directory.size());
    AppendBytes(out, "PK\x05\x06", 4);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, static_cast<std::uint16_t>(members.size()));
    Append16(out, static_cast<std::uint16_t>(members.size()));
    Append32(out, static_cast<std::uint32_t>(directory.size()));
    Append32(out, directoryOffset);
    Append16(out, 0);
    if (out.size() >= 2 && members.empty()) {
        out[0] = 'S';
        out[1] = 'K';
    }
    return out;
}

}  // namespace skin
