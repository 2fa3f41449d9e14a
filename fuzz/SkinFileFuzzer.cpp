// Fuzz target over whole skin files: locating the data member, the password check and decryption,
// DEFLATE decoding, the length check, the record chain and every bitmap in it. Encrypted members
// are tried with the password "silver" (the seed corpus holds one encrypted with it).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/reader/ArchiveMember.h"
#include "skin/reader/SkinData.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tk::TMemoryStream archive(std::vector<std::uint8_t>(data, data + size));
    tk::TMemoryStream member;
    const ArchiveMemberResult r = skin::ExtractArchiveMemberFromStream(archive, "SKINDATA.SK2", "silver", member);
    if (r != amrExtracted) return 0;
    const tk::TStreamBytes& bytes = member.Bytes();
    // An exact-size copy, so the sanitizer sees any read past the member's end.
    std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
    exact.shrink_to_fit();
    try {
        skin::ParseSkinData(exact.data(), exact.size());
    } catch (const tk::Exception&) {
        // Malformed record data and bad bitmaps are expected outcomes.
    }
    return 0;
}
