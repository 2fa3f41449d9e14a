#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"

namespace {

TEST(MemoryStream, ReadsWritesAndSeeksWithinItsBytes) {
    tk::TMemoryStream s;
    s.WriteBuffer("hello", 5);
    EXPECT_EQ(s.Size(), 5);
    s.SetPosition(3);
    s.WriteBuffer("p!", 2);
    s.Seek(-10, tk::SeekOrigin::Current);  // clamps at the start
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 5);
    EXPECT_EQ(std::string(buf, 5), "help!");
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_THROW(s.ReadBuffer(buf, 1), tk::EReadError);
}

TEST(MemoryStream, SetSizeGrowsWithZerosAndShortensUpToThePosition) {
    tk::TMemoryStream s(std::vector<std::uint8_t>{1, 2, 3});
    s.SetPosition(3);
    s.SetSize(5);
    EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{1, 2, 3, 0, 0}));
    EXPECT_EQ(s.Position(), 3);
    s.Memory()[4] = 9;
    EXPECT_EQ(s.Bytes()[4], 9);
    s.SetSize(2);
    EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(s.Position(), 2);
    s.SetSize(-1);
    EXPECT_EQ(s.Size(), 0);
}

TEST(Stream, CopyFromCopiesExactlyTheCountOrFails) {
    tk::TMemoryStream source(std::vector<std::uint8_t>{1, 2, 3, 4, 5});
    tk::TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 3), 3);
    EXPECT_EQ(target.Bytes(), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(source.Position(), 3);
    // Two bytes remain: asking for more is an error, not a short copy.
    EXPECT_THROW(target.CopyFrom(source, 10), tk::EReadError);
    source.SetPosition(1);
    tk::TMemoryStream all;
    EXPECT_EQ(all.CopyFrom(source, 0), 4);  // 0: everything that remains
    EXPECT_EQ(all.Bytes(), (std::vector<std::uint8_t>{2, 3, 4, 5}));
}

TEST(FileStream, RoundTripsThroughANonAsciiPath) {
    qdtest::TempDir dir;
    const auto path = dir / std::filesystem::path(u8"皮肤 file.bin");
    tk::TMemoryStream out;
    for (int i = 0; i < 100000; ++i) out.WriteBuffer(&i, 1);
    out.SaveToFile(path);
    tk::TMemoryStream in;
    in.LoadFromFile(path);
    EXPECT_EQ(in.Bytes(), out.Bytes());
    tk::TFileStream file(path, tk::FileMode::OpenRead);
    EXPECT_EQ(file.Size(), 100000);
}

TEST(FileStream, MissingFileNamesItInTheError) {
    qdtest::TempDir dir;
    try {
        tk::TFileStream file(dir / L"absent.bin", tk::FileMode::OpenRead);
        FAIL() << "opened a missing file";
    } catch (const tk::EFOpenError& e) {
        EXPECT_NE(e.Message().find(L"absent.bin"), std::wstring::npos);
    }
}

}  // namespace
