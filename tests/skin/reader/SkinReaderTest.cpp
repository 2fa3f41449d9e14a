// The record database and the reader built on it: lookups, the damaged-file table, truncation,
// and the temporary file that must never stay behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "skin/reader/SkinData.h"
#include "skin/reader/SkinFileReader.h"
#include "tests/skin/reader/SkinTestFiles.h"
#include "tests/support/TempDir.h"
#include "toolkit/Text.h"

namespace {

using skin::Bytes;
using skin::SkinRecordInput;
namespace fs = std::filesystem;

class ReaderTest : public ::testing::Test {
protected:
    qdtest::TempDir dir;
    qdtest::TempFolderRedirect temp{dir / "tmp"};
    fs::path file = dir / "skin.ssk";

    std::unique_ptr<Tsk2SkinFileReader> Load(const Bytes& archive, std::string_view password = "") {
        qdtest::WriteFile(file, archive);
        return std::make_unique<Tsk2SkinFileReader>(file, password);
    }
};

TEST_F(ReaderTest, LoadsEveryKindAndLooksNamesUpIgnoringCase) {
    auto reader = Load(qdtest::SkinArchive(qdtest::SmallSkinRecords()));
    ASSERT_TRUE(reader->Loaded());
    const tk::BmpImage* pic = reader->FindBitmap("pIC");
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->width, 5);
    EXPECT_EQ(pic->height, 3);
    EXPECT_EQ(pic->Pixel(4, 2), 0x040207u);
    EXPECT_EQ(reader->ReadInteger("colour"), 0x00C0FFEE);
    EXPECT_TRUE(reader->ReadBoolean("FLAG"));  // the byte 2 is true
    ASSERT_NE(reader->FindString("note"), nullptr);
    EXPECT_EQ(*reader->FindString("note"), "silver");

    EXPECT_EQ(reader->FindBitmap("Colour"), nullptr);  // each kind has its own table
    EXPECT_EQ(reader->ReadInteger("Absent"), -1);
    EXPECT_FALSE(reader->ReadBoolean("Absent"));
    EXPECT_EQ(reader->FindBitmap("Absent"), nullptr);
    EXPECT_EQ(temp.FileCount(), 0u);
    EXPECT_FALSE(fs::exists(reader->TemporaryFileName()));
    EXPECT_EQ(reader->TemporaryFileName().filename().wstring().size(), 38u);
}

TEST_F(ReaderTest, FirstRecordOfADuplicatedNameWinsAndZeroByteIsFalse) {
    auto reader = Load(qdtest::SkinArchive({
        SkinRecordInput::Integer("N", 1), SkinRecordInput::Integer("n", 2),
        SkinRecordInput::Boolean("B", 0), SkinRecordInput::Boolean("B", 1),
        SkinRecordInput::Integer("Negative", -16777201),
    }));
    EXPECT_EQ(reader->ReadInteger("N"), 1);
    EXPECT_FALSE(reader->ReadBoolean("b"));
    EXPECT_EQ(reader->ReadInteger("NEGATIVE"), -16777201);
    EXPECT_EQ(reader->Tables().integers.size(), 3u);
}

TEST_F(ReaderTest, OneRecordChainLoadsWithEmptyTables) {
    auto reader = Load(qdtest::SkinArchive({}));
    EXPECT_TRUE(reader->Loaded());
    EXPECT_TRUE(reader->Tables().integers.empty());
    EXPECT_TRUE(reader->Tables().bitmaps.empty());
}

TEST_F(ReaderTest, UnknownKindsAreSkippedAndLongNamesEndAfter64Bytes) {
    SkinRecordInput odd{"Odd", static_cast<skin::RecordKind>(9), Bytes{1, 2, 3}};
    auto reader = Load(qdtest::SkinArchive({odd, SkinRecordInput::Integer(std::string(64, 'L') + "tail", 5)}));
    ASSERT_TRUE(reader->Loaded());
    EXPECT_EQ(reader->ReadInteger(std::string(64, 'L')), 5);
    EXPECT_EQ(reader->Tables().order.size(), 1u);
}

TEST_F(ReaderTest, PasswordsDecideBetweenLoadedAndRejected) {
    const Bytes archive = qdtest::SkinArchive(qdtest::SmallSkinRecords(), "silver");
    EXPECT_TRUE(Load(archive, "silver")->Loaded());
    auto none = Load(archive, "");
    EXPECT_FALSE(none->Loaded());
    EXPECT_EQ(none->ReadInteger("Colour"), -1);
    EXPECT_FALSE(Load(archive, "Silver")->Loaded());
    EXPECT_EQ(temp.FileCount(), 0u);
}

TEST_F(ReaderTest, NonSkinFilesRaiseTheReadFailure) {
    Bytes pk = qdtest::SkinArchive(qdtest::SmallSkinRecords());
    pk[0] = 'P';
    try {
        Load(pk);
        FAIL() << "no exception";
    } catch (const tk::Exception& e) {
        EXPECT_EQ(e.Message(), L"Failed to read skin file!");
    }
    EXPECT_THROW(Tsk2SkinFileReader(dir / "nowhere.ssk", ""), tk::Exception);
    EXPECT_EQ(temp.FileCount(), 0u);
}

// A skin whose data member would decode to 1 GiB is refused quickly, recorded small or recorded
// at its true size: not loaded, no exception, nothing left in the temporary folder.
TEST_F(ReaderTest, AGigabyteBombIsNotLoadedAndLeavesNoTemporaryFile) {
    const Bytes bomb = qdtest::ZeroBomb(qdtest::kGigabyteBombMatches);
    for (std::uint32_t recorded : {4096u, 1 + 258u * qdtest::kGigabyteBombMatches}) {
        SCOPED_TRACE(recorded);
        std::unique_ptr<Tsk2SkinFileReader> reader;
        ASSERT_NO_THROW(reader = Load(qdtest::SkinArchiveOfDeflate(bomb, recorded)));
        EXPECT_FALSE(reader->Loaded());
        EXPECT_EQ(temp.FileCount(), 0u);
    }
}

// The damaged-file table: record databases that break the format's limits.
TEST_F(ReaderTest, DamagedRecordDataIsAReadErrorAndLeavesNoTemporaryFile) {
    const Bytes good = skin::BuildSkinData(qdtest::SmallSkinRecords());
    // Record layout of the small skin: header 24, then each record (77 bytes) followed by its value.
    const std::size_t rec0 = 24;
    const std::size_t rec1 = skin::Get32(good, rec0 + 73);
    const std::size_t rec2 = skin::Get32(good, rec1 + 73);
    auto patched = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        skin::Put32(b, at, v);
        return b;
    };
    Bytes badBmp = good;
    badBmp[skin::Get32(good, rec0 + 65)] = 'X';

    struct Case { const char* what; Bytes data; bool graphic; };
    const Case cases[] = {
        {"header size 23", patched(12, 23), false},
        {"header size 25", patched(12, 25), false},
        {"header size 0", patched(12, 0), false},
        {"first record beyond the end", patched(20, static_cast<std::uint32_t>(good.size())), false},
        {"first record straddles the end", patched(20, static_cast<std::uint32_t>(good.size() - 76)), false},
        {"value offset beyond the end", patched(rec1 + 65, 0xFFFFFFF0), false},
        {"value size beyond the end", patched(rec0 + 69, 0x7FFFFFFF), false},
        {"integer of 3 bytes", patched(rec1 + 69, 3), false},
        {"integer of 5 bytes", patched(rec1 + 69, 5), false},
        {"boolean of 0 bytes", patched(rec2 + 69, 0), false},
        {"boolean of 2 bytes", patched(rec2 + 69, 2), false},
        {"chain points at itself", patched(rec1 + 73, static_cast<std::uint32_t>(rec1)), false},
        {"chain returns to the first record", patched(rec2 + 73, static_cast<std::uint32_t>(rec0)), false},
        {"next offset beyond the end", patched(rec2 + 73, 0xFFFFFFFF), false},
        {"bitmap without BM", badBmp, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        skin::ArchiveMemberInput m;
        m.name = "SKINDATA.SK2";
        m.content = c.data;
        if (c.graphic)
            EXPECT_THROW(Load(skin::BuildSkinArchive({m})), tk::EInvalidGraphic);
        else
            EXPECT_THROW(Load(skin::BuildSkinArchive({m})), skin::ESkinDataError);
        EXPECT_EQ(temp.FileCount(), 0u);
    }
}

TEST(SkinData, EveryTruncationOfARecordDatabaseEndsInAnError) {
    const Bytes good = skin::BuildSkinData(qdtest::SmallSkinRecords());
    EXPECT_NO_THROW(skin::ParseSkinData(good.data(), good.size()));
    for (std::size_t n = 0; n < good.size(); ++n) {
        // An exact-size copy, so a sanitizer sees any read past the end.
        std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[n + 1]);
        std::copy_n(good.begin(), n, copy.get());
        EXPECT_THROW(skin::ParseSkinData(copy.get(), n), tk::Exception) << n;
    }
}

TEST_F(ReaderTest, EveryTruncationOfASkinFileFailsCleanly) {
    const Bytes archive = qdtest::SkinArchive(qdtest::SmallSkinRecords());
    for (std::size_t n = 0; n < archive.size(); ++n) {
        qdtest::WriteFile(file, Bytes(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(n)));
        try {
            Tsk2SkinFileReader reader(file, "");
            EXPECT_FALSE(reader.Loaded()) << n;
        } catch (const tk::Exception&) {
        }
        ASSERT_EQ(temp.FileCount(), 0u) << n;
    }
}

}  // namespace
