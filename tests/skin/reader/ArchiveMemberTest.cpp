// Member extraction from skin archives: finding the member, the password check, the length check
// and the promise that a failed extraction leaves no output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "skin/reader/ArchiveMember.h"
#include "skin/reader/PkCrypt.h"
#include "tests/skin/reader/SkinTestFiles.h"
#include "tests/support/TempDir.h"

#ifdef QD_TEST_ZLIB
#include <zlib.h>
#endif

namespace {

using skin::Bytes;
namespace fs = std::filesystem;

Bytes Content(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 5));
    return b;
}

Bytes ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

skin::Compressor RealDeflate() {
#ifdef QD_TEST_ZLIB
    return [](const Bytes& in) {
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        Bytes out(deflateBound(&z, in.size()));
        z.next_in = const_cast<Bytes::value_type*>(in.data());
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FINISH);
        out.resize(z.total_out);
        deflateEnd(&z);
        return out;
    };
#else
    return skin::StoreDeflate;
#endif
}

skin::ArchiveMemberInput Member(std::string name, Bytes content, std::string password = "") {
    skin::ArchiveMemberInput m;
    m.name = std::move(name);
    m.content = std::move(content);
    m.password = std::move(password);
    return m;
}

class ExtractTest : public ::testing::Test {
protected:
    qdtest::TempDir dir;
    fs::path archive = dir / "skin.ssk";
    fs::path output = dir / "out.bin";

    int Extract(const Bytes& file, std::string_view name = "SKINDATA.SK2", std::string_view password = "") {
        qdtest::WriteFile(archive, file);
        return ExtractArchiveMember(archive, name, output, password);
    }
};

TEST_F(ExtractTest, FindsMemberAmongOthersWhateverItsCaseAndDirectoryExtras) {
    const Bytes wanted = Content(5000);
    skin::ArchiveMemberInput first = Member("readme.txt", Content(10));
    first.extra = Bytes(9, 0xAB);
    first.comment = Bytes{'h', 'i'};
    const Bytes file =
        skin::BuildSkinArchive({first, Member("skindata.sk2", wanted), Member("SKINDATA.SK2", Content(3))}, RealDeflate());
    EXPECT_EQ(Extract(file), amrExtracted);
    EXPECT_EQ(ReadAll(output), wanted);
}

TEST_F(ExtractTest, NotASkinArchiveFailsWithoutOutput) {
    const Bytes good = skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(100))});

    Bytes pk = good;
    pk[0] = 'P';
    Bytes commented = good;
    skin::Put16(commented, commented.size() - 2, 3);
    commented.insert(commented.end(), {'a', 'b', 'c'});
    Bytes badEnd = good;
    badEnd[badEnd.size() - 22] = 'X';
    Bytes longName = skin::BuildSkinArchive({Member(std::string(260, 'A'), Content(10))});
    Bytes directoryPastEnd = good;
    skin::Put32(directoryPastEnd, directoryPastEnd.size() - 6, 0x7FFFFFF0);

    struct Case { const char* what; Bytes file; std::string name; };
    const Case cases[] = {
        {"plain ZIP", pk, "SKINDATA.SK2"},
        {"archive comment", commented, "SKINDATA.SK2"},
        {"bad end signature", badEnd, "SKINDATA.SK2"},
        {"member absent", good, "OTHER.SK2"},
        {"member name over 259 bytes", longName, std::string(260, 'A')},
        {"directory offset past the end", directoryPastEnd, "SKINDATA.SK2"},
        {"shorter than an end record", Bytes{'S', 'K', 5, 6}, "SKINDATA.SK2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Extract(c.file, c.name), amrFailed);
        EXPECT_FALSE(fs::exists(output));
    }
    EXPECT_EQ(ExtractArchiveMember(dir / "missing.ssk", "SKINDATA.SK2", output, ""), amrFailed);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ExtractTest, MemberNameOfExactly259BytesIsFound) {
    const std::string name(259, 'n');
    EXPECT_EQ(Extract(skin::BuildSkinArchive({Member(name, Content(40))}), name), amrExtracted);
}

TEST_F(ExtractTest, PasswordCheckByteFromCrcOrTime) {
    const Bytes wanted = Content(3000);
    skin::ArchiveMemberInput byCrc = Member("SKINDATA.SK2", wanted, "s3cret");
    skin::ArchiveMemberInput byTime = byCrc;
    byTime.checkFromTime = true;
    byTime.modTime = 0xA5C3;

    for (const auto& input : {byCrc, byTime}) {
        const Bytes file = skin::BuildSkinArchive({input}, RealDeflate());
        EXPECT_EQ(Extract(file, "SKINDATA.SK2", "s3cret"), amrExtracted);
        EXPECT_EQ(ReadAll(output), wanted);
        EXPECT_EQ(Extract(file, "SKINDATA.SK2", ""), amrRejected);
        EXPECT_FALSE(fs::exists(output));
        EXPECT_EQ(Extract(file, "SKINDATA.SK2", "wrong"), amrRejected);
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST_F(ExtractTest, CheckByteIsHighByteOfTimeWhenFlagBit3IsSet) {
    skin::ArchiveMemberInput input = Member("SKINDATA.SK2", Content(64), "pw");
    input.checkFromTime = true;
    input.modTime = 0x1234;
    Bytes file = skin::BuildSkinArchive({input});
    // Changing the directory's CRC does not matter when the time supplies the check byte ...
    const std::size_t cd = skin::Get32(file, file.size() - 6);
    skin::Put32(file, cd + 16, 0xFFFFFFFF);
    EXPECT_EQ(Extract(file, "SKINDATA.SK2", "pw"), amrExtracted);
    // ... but changing the time's high byte does.
    skin::Put16(file, cd + 12, 0x9934);
    EXPECT_EQ(Extract(file, "SKINDATA.SK2", "pw"), amrRejected);
}

TEST_F(ExtractTest, OutputLengthMustMatchRecordedSize) {
    Bytes file = skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(200))});
    const std::size_t cd = skin::Get32(file, file.size() - 6);
    skin::Put32(file, cd + 24, 199);
    EXPECT_EQ(Extract(file), amrRejected);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ExtractTest, EmptyDecodedOutputIsAFailure) {
    EXPECT_EQ(Extract(skin::BuildSkinArchive({Member("SKINDATA.SK2", {})})), amrFailed);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ExtractTest, CorruptDeflateDataAfterOutputExistsIsRejected) {
    Bytes file = skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(300))});
    file[30 + 12] = 0x07;  // block type 3 does not exist
    EXPECT_EQ(Extract(file), amrRejected);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ExtractTest, LocalHeaderOffsetOutsideTheFileIsRejected) {
    Bytes file = skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(300))});
    const std::size_t cd = skin::Get32(file, file.size() - 6);
    skin::Put32(file, cd + 42, 0xFFFFFF00);
    EXPECT_EQ(Extract(file), amrRejected);
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ExtractTest, EveryTruncationEndsWithoutOutputAndWithoutHanging) {
    for (const std::string password : {"", "pw"}) {
        const Bytes file = skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(700), password)}, RealDeflate());
        for (std::size_t n = 0; n < file.size(); ++n) {
            const int r = Extract(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)), "SKINDATA.SK2",
                                  password);
            ASSERT_NE(r, amrExtracted) << n;
            ASSERT_FALSE(fs::exists(output)) << n;
        }
    }
}

TEST(PkCipher, EncryptThenDecryptRestoresTheBytesAndKeysDependOnPassword) {
    Bytes data = Content(100), copy = data;
    skin::PkCipher(std::string_view("key")).Encrypt(copy.data(), copy.size());
    EXPECT_NE(copy, data);
    Bytes other = copy;
    skin::PkCipher(std::string_view("key")).Decrypt(copy.data(), copy.size());
    EXPECT_EQ(copy, data);
    skin::PkCipher(std::string_view("kez")).Decrypt(other.data(), other.size());
    EXPECT_NE(other, data);
}

TEST(PkCipher, Crc32MatchesTheKnownCheckValue) {
    const char* text = "123456789";
    EXPECT_EQ(skin::Crc32(reinterpret_cast<const std::uint8_t*>(text), 9), 0xCBF43926u);
}

}  // namespace
