// Member extraction from skin archives: finding the member, the password check, the length check
// and the promise that a failed extraction leaves no output file.
#include <gtest/gtest.h>


#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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
    Bytes commentLength = good;  // a comment length in the end record but no comment after it
    skin::Put16(commentLength, commentLength.size() - 2, 3);
    Bytes badEnd = good;
    badEnd[badEnd.size() - 22] = 'X';
    Bytes longName = skin::BuildSkinArchive({Member(std::string(260, 'A'), Content(10))});
    Bytes directoryPastEnd = good;
    skin::Put32(directoryPastEnd, directoryPastEnd.size() - 6, 0x7FFFFFF0);

    struct Case { const char* what; Bytes file; std::string name; };
    const Case cases[] = {
        {"plain ZIP", pk, "SKINDATA.SK2"},
        {"archive comment", commented, "SKINDATA.SK2"},
        {"comment length without comment", commentLength, "SKINDATA.SK2"},
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
    // Also a recorded size of 0, where the decoder stops before writing anything: the output is
    // then as long as recorded, and only the decoder's reason tells that the data is longer.
    for (std::uint32_t recorded : {199u, 201u, 0u}) {
        Bytes file = skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(200))});
        const std::size_t cd = skin::Get32(file, file.size() - 6);
        skin::Put32(file, cd + 24, recorded);
        EXPECT_EQ(Extract(file), amrRejected) << recorded;
        EXPECT_FALSE(fs::exists(output));
    }
}

// About 1 MB that decodes to 1 GiB of zeros. Recorded as 4096 bytes it is refused as soon as its
// output passes that size; recorded as its true size, beyond what a skin may hold, it is refused
// before a byte is written. Encrypted or not, no output stays and the output saw no byte.
TEST_F(ExtractTest, AGigabyteBombIsRefusedAtOnce) {
    const Bytes bomb = qdtest::ZeroBomb(qdtest::kGigabyteBombMatches);
    const std::uint32_t trueSize = 1 + 258u * qdtest::kGigabyteBombMatches;
    for (const std::string password : {"", "pw"}) {
        for (std::uint32_t recorded : {4096u, trueSize}) {
            SCOPED_TRACE(testing::Message() << "recorded " << recorded << ", password '" << password << "'");
            const Bytes file = qdtest::SkinArchiveOfDeflate(bomb, recorded, password);
            EXPECT_EQ(Extract(file, "SKINDATA.SK2", password), amrRejected);
            EXPECT_FALSE(fs::exists(output));
            tk::TMemoryStream archiveStream(file);
            qdtest::CountingSink sink;
            EXPECT_EQ(skin::ExtractArchiveMemberFromStream(archiveStream, "SKINDATA.SK2", password, sink), amrRejected);
            EXPECT_EQ(sink.Written(), 0u);
        }
    }
}

// An encrypted member is decrypted as the decoder reads it: a bomb refused after 4096 bytes of
// output leaves most of its megabyte unread (decrypting the whole rest of the archive first would
// make a large file cost time and memory in proportion to its size).
TEST(ExtractFromStream, AnEncryptedMemberIsReadOnlyAsFarAsItDecodes) {
    const Bytes bomb = qdtest::ZeroBomb(qdtest::kGigabyteBombMatches);
    ASSERT_GT(bomb.size(), 1000000u);
    tk::TMemoryStream archive(qdtest::SkinArchiveOfDeflate(bomb, 4096, "pw"));
    std::int64_t bytesRead = 0;
    class Watched : public tk::TStream {
    public:
        Watched(tk::TStream& inner, std::int64_t& bytesRead) : inner_(inner), bytesRead_(bytesRead) {}
        std::int64_t Read(void* b, std::int64_t n) override {
            const std::int64_t got = inner_.Read(b, n);
            bytesRead_ += got;
            return got;
        }
        std::int64_t Write(const void* b, std::int64_t n) override { return inner_.Write(b, n); }
        std::int64_t Seek(std::int64_t o, tk::SeekOrigin origin) override { return inner_.Seek(o, origin); }
        std::int64_t Size() override { return inner_.Size(); }

    private:
        tk::TStream& inner_;
        std::int64_t& bytesRead_;
    } watched(archive, bytesRead);
    qdtest::CountingSink sink;
    EXPECT_EQ(skin::ExtractArchiveMemberFromStream(watched, "SKINDATA.SK2", "pw", sink), amrRejected);
    EXPECT_LE(sink.Written(), 4096u);
    EXPECT_LT(bytesRead, 300000) << "of " << archive.Size();
}

// The bound on the recorded size: a member recorded at exactly the bound is decoded (its short
// output then fails the length check), one byte more is refused unread.
TEST(ExtractFromStream, RecordedSizesUpToTheBoundAreDecodedLargerOnesAreNot) {
    const Bytes content = Content(100000);
    for (std::uint32_t recorded : {skin::kMaxMemberSize, skin::kMaxMemberSize + 1}) {
        tk::TMemoryStream archive(qdtest::SkinArchiveOfDeflate(skin::StoreDeflate(content), recorded));
        qdtest::CountingSink sink;
        EXPECT_EQ(skin::ExtractArchiveMemberFromStream(archive, "SKINDATA.SK2", "", sink), amrRejected);
        EXPECT_EQ(sink.Written(), recorded == skin::kMaxMemberSize ? content.size() : 0u) << recorded;
    }
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

// An encrypted member needs a password even when its keys are those of the empty password: the
// member here is encrypted under "" by hand, and only the empty-password rule refuses it.
TEST_F(ExtractTest, EncryptedMemberWithEmptyPasswordIsRejectedEvenIfTheEmptyKeyFits) {
    const Bytes content = Content(500);
    Bytes file = skin::BuildSkinArchive({Member("SKINDATA.SK2", content)});
    const std::size_t nameLength = 12, dataStart = 30 + nameLength;
    const std::size_t cd = skin::Get32(file, file.size() - 6);
    Bytes secret(12, 0x5A);
    secret[11] = static_cast<std::uint8_t>(skin::Get32(file, cd + 16) >> 24);  // CRC's high byte
    secret.insert(secret.end(), file.begin() + dataStart, file.begin() + cd);
    skin::PkCipher(std::string_view("")).Encrypt(secret.data(), secret.size());
    Bytes encrypted(file.begin(), file.begin() + dataStart);
    encrypted.insert(encrypted.end(), secret.begin(), secret.end());
    encrypted.insert(encrypted.end(), file.begin() + cd, file.end());
    const std::size_t newCd = cd + 12;
    skin::Put16(encrypted, 6, 1);           // local header flags
    skin::Put16(encrypted, newCd + 8, 1);   // directory flags
    skin::Put32(encrypted, 18, skin::Get32(encrypted, 18) + 12);            // compressed sizes
    skin::Put32(encrypted, newCd + 20, skin::Get32(encrypted, newCd + 20) + 12);
    skin::Put32(encrypted, encrypted.size() - 6, static_cast<std::uint32_t>(newCd));
    EXPECT_EQ(Extract(encrypted, "SKINDATA.SK2", ""), amrRejected);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(Extract(encrypted, "SKINDATA.SK2", "x"), amrRejected);
}

// An output that fails with an exception ends as a rejection, not as an escaping exception.
TEST(ExtractFromStream, ThrowingOutputIsARejection) {
    class ThrowingStream : public tk::TMemoryStream {
    public:
        std::int64_t Write(const void*, std::int64_t) override { throw tk::EWriteError(L"disk full"); }
    };
    tk::TMemoryStream archive(skin::BuildSkinArchive({Member("SKINDATA.SK2", Content(300))}));
    ThrowingStream output;
    ArchiveMemberResult result = amrExtracted;
    EXPECT_NO_THROW(result = skin::ExtractArchiveMemberFromStream(archive, "SKINDATA.SK2", "", output));
    EXPECT_EQ(result, amrRejected);
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

// Keys after a password, worked out apart from this code from the published method: key0 and
// key2 are CRC-32 registers, key1 = (key1 + (key0 & 0xFF)) * 134775813 + 1, key2 takes key1 >> 24.
TEST(PkCipher, KeysAfterAPasswordMatchTheKnownAnswers) {
    using Keys = std::array<std::uint32_t, 3>;
    EXPECT_EQ(skin::PkCipher(std::string_view("")).Keys(), (Keys{0x12345678, 0x23456789, 0x34567890}));
    EXPECT_EQ(skin::PkCipher(std::string_view("a")).Keys(), (Keys{0x64799C96, 0xB303049C, 0xA253270A}));
    EXPECT_EQ(skin::PkCipher(std::string_view("s3cret")).Keys(), (Keys{0x6AFADE02, 0x9FEAA373, 0x21F86344}));
    EXPECT_EQ(skin::PkCipher(std::string_view("Silver")).Keys(), (Keys{0xA9FC11E1, 0xCC5BD938, 0x2EB4BC1C}));
}

// An archive encrypted by Info-ZIP (Debian's zip 3.0: `zip -X -Z deflate -P Silver t.zip
// SKINDATA.SK2`, first two bytes then changed to "SK"). Flag bit 3 is set, so the check byte is
// the time's high byte. Its member holds the lines "Quiverdir skin data line 0" to "... 11".
const std::uint8_t kInfoZipArchive[] = {
    0x53, 0x4b, 0x03, 0x04, 0x14, 0x00, 0x09, 0x00, 0x08, 0x00, 0xce, 0x50, 0x87, 0x5d, 0xaf, 0xd5,
    0xcd, 0xa2, 0x4d, 0x00, 0x00, 0x00, 0x46, 0x01, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x53, 0x4b,
    0x49, 0x4e, 0x44, 0x41, 0x54, 0x41, 0x2e, 0x53, 0x4b, 0x32, 0x91, 0xa8, 0xf2, 0x45, 0xe9, 0x97,
    0x92, 0xfc, 0xd7, 0x66, 0x19, 0x51, 0xc7, 0x46, 0xd5, 0xfc, 0xc2, 0x38, 0x21, 0x9a, 0x0f, 0x01,
    0x20, 0x84, 0x22, 0xcc, 0x2e, 0xf0, 0x6d, 0xaf, 0x39, 0x06, 0xbc, 0x0c, 0xa8, 0x4f, 0x3a, 0x42,
    0xbd, 0xa9, 0x57, 0xfb, 0xe2, 0x64, 0x7c, 0x10, 0x70, 0xa7, 0x96, 0x80, 0x73, 0x13, 0x8c, 0x72,
    0x7c, 0x62, 0x69, 0x58, 0x92, 0x10, 0x0f, 0x60, 0x2c, 0x35, 0x7e, 0x8a, 0x54, 0xf7, 0x1f, 0x22,
    0xe2, 0x39, 0x97, 0xf0, 0xe2, 0x7d, 0x0e, 0x50, 0x4b, 0x07, 0x08, 0xaf, 0xd5, 0xcd, 0xa2, 0x4d,
    0x00, 0x00, 0x00, 0x46, 0x01, 0x00, 0x00, 0x50, 0x4b, 0x01, 0x02, 0x1e, 0x03, 0x14, 0x00, 0x09,
    0x00, 0x08, 0x00, 0xce, 0x50, 0x87, 0x5d, 0xaf, 0xd5, 0xcd, 0xa2, 0x4d, 0x00, 0x00, 0x00, 0x46,
    0x01, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xa4,
    0x81, 0x00, 0x00, 0x00, 0x00, 0x53, 0x4b, 0x49, 0x4e, 0x44, 0x41, 0x54, 0x41, 0x2e, 0x53, 0x4b,
    0x32, 0x50, 0x4b, 0x05, 0x06, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x3a, 0x00, 0x00,
    0x00, 0x87, 0x00, 0x00, 0x00, 0x00, 0x00,
};

TEST_F(ExtractTest, ArchiveEncryptedByAnotherZipProgramDecrypts) {
    const Bytes file(std::begin(kInfoZipArchive), std::end(kInfoZipArchive));
    std::string text;
    for (int i = 0; i < 12; ++i) text += "Quiverdir skin data line " + std::to_string(i) + "\n";
    EXPECT_EQ(Extract(file, "SKINDATA.SK2", "Silver"), amrExtracted);
    EXPECT_EQ(ReadAll(output), Bytes(text.begin(), text.end()));
    EXPECT_EQ(Extract(file, "SKINDATA.SK2", "silver"), amrRejected);
    EXPECT_FALSE(fs::exists(output));
}

TEST(PkCipher, Crc32MatchesTheKnownCheckValue) {
    const char* text = "123456789";
    EXPECT_EQ(skin::Crc32(reinterpret_cast<const std::uint8_t*>(text), 9), 0xCBF43926u);
}

}  // namespace
