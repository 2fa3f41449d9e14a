// The backup file on real files in a temporary folder: its name rule, export updating a file in
// place, import merging without duplicates, characters outside the ANSI code page, older
// GBK-encoded backups and hostile counts.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "list/win/Backup.h"
#include "tests/support/TempDir.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace {

using Pair = std::pair<std::wstring, std::wstring>;

struct Rows : qd::ShortcutRows {
    std::vector<Pair> rows;
    int RowCount() override { return static_cast<int>(rows.size()); }
    std::wstring Alias(int i) override { return rows.at(static_cast<size_t>(i)).first; }
    std::wstring Path(int i) override { return rows.at(static_cast<size_t>(i)).second; }
    void AppendRow(const std::wstring& a, const std::wstring& p) override { rows.emplace_back(a, p); }
};

class BackupTest : public testing::Test {
protected:
    // Imports into the rows, reading and appending as the main window does; returns what was
    // appended.
    std::vector<Pair> Import(const std::filesystem::path& backup) {
        std::vector<Pair> appended;
        const tk::TUnicodeIniCopy readable(backup.wstring());
        qd::ImportBackup(readable.File(), list, [&](const std::wstring& a, const std::wstring& p) {
            list.AppendRow(a, p);
            appended.emplace_back(a, p);
        });
        return appended;
    }
    void WriteBytes(const std::filesystem::path& target, const std::string& bytes) {
        std::ofstream(target, std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::filesystem::path& source) {
        std::ifstream in(source, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The file's text, decoded from UTF-16 (with its byte order mark) or from the ANSI code page.
    std::wstring ReadText(const std::filesystem::path& source) {
        const std::string bytes = ReadBytes(source);
        if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0)
            return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                            text.data(), static_cast<int>(text.size()))));
        return text;
    }
    std::wstring Key(const std::filesystem::path& source, const wchar_t* key) {
        return tk::TIniFile(source.wstring()).ReadString(qd::kBackupSection, key, L"<absent>");
    }

    qdtest::TempDir dir;
    std::filesystem::path file = dir / "list.pwb";
    Rows list;
};

TEST_F(BackupTest, ExportWritesCountAndPairsInOrderAndImportOfItAddsNothing) {
    list.rows = {{L"Windows安装目录", L"C:\\windows"}, {L"C:\\", L"C:\\"}, {L"with = sign", L"D:\\a=b"}};
    qd::ExportBackup(tk::TIniFile(file.wstring()), list);
    EXPECT_EQ(ReadText(file), L"[PathWarden]\r\nCount=3\r\nN0=Windows安装目录\r\nP0=C:\\windows\r\nN1=C:\\\r\nP1=C:\\\r\n"
                              L"N2=with = sign\r\nP2=D:\\a=b\r\n");
    EXPECT_TRUE(Import(file).empty());
    EXPECT_EQ(list.rows.size(), 3u);
}

TEST_F(BackupTest, ExportOfAnEmptyListWritesCountZero) {
    qd::ExportBackup(tk::TIniFile(file.wstring()), list);
    EXPECT_EQ(Key(file, L"Count"), L"0");
    EXPECT_EQ(Key(file, L"N0"), L"<absent>");
}

TEST_F(BackupTest, ExportUpdatesAnOlderFileInPlaceKeepingWhatItDoesNotWrite) {
    // An older ANSI backup with more rows and another section.
    WriteBytes(file, "[Other]\r\nx=1\r\n[PathWarden]\r\nCount=3\r\nN0=old0\r\nP0=C:\\old0\r\nN1=old1\r\nP1=C:\\old1\r\n"
                     "N2=old2\r\nP2=C:\\old2\r\nExtra=kept\r\n");
    list.rows = {{L"new0", L"C:\\new0"}};
    qd::ExportBackup(tk::TIniFile(file.wstring()), list);
    EXPECT_EQ(ReadText(file), L"[Other]\r\nx=1\r\n[PathWarden]\r\nCount=1\r\nN0=new0\r\nP0=C:\\new0\r\nN1=old1\r\n"
                              L"P1=C:\\old1\r\nN2=old2\r\nP2=C:\\old2\r\nExtra=kept\r\n");
    // Leftover pairs past Count are never imported.
    list.rows.clear();
    EXPECT_EQ(Import(file), (std::vector<Pair>{{L"new0", L"C:\\new0"}}));
}

TEST_F(BackupTest, ImportMergesWithoutDuplicatesInFileOrder) {
    list.rows = {{L"Work", L"C:\\Work"}, {L"Tools", L"D:\\Tools\\"}};
    WriteBytes(file,
               "[PathWarden]\r\nCount=7\r\n"
               "N0=Work\r\nP0=c:\\work\\\r\n"     // same folder by case and backslash: skipped
               "N1=Work\r\nP1=C:\\Elsewhere\r\n"  // same alias, another path: appended
               "N2=work\r\nP2=C:\\Work\r\n"       // another alias (case counts): appended
               "N3=Tools\r\nP3=d:\\tools\r\n"     // skipped
               "N4=Dup\r\nP4=E:\\dup\r\n"
               "N5=Dup\r\nP5=E:\\DUP\\\r\n"       // repeated within the file: once
               "N6=\"Quoted\"\r\nP6=F:\\q\r\n");
    EXPECT_EQ(Import(file), (std::vector<Pair>{{L"Work", L"C:\\Elsewhere"},
                                               {L"work", L"C:\\Work"},
                                               {L"Dup", L"E:\\dup"},
                                               {L"Quoted", L"F:\\q"}}));
    EXPECT_EQ(list.rows.size(), 6u);
    EXPECT_EQ(list.rows[0].first, L"Work");  // nothing moved
}

TEST_F(BackupTest, ImportOfBrokenFilesTakesOnlyCompletePairs) {
    struct Case {
        const char* name;
        std::string content;
        std::vector<Pair> expected;
    };
    const std::vector<Case> cases = {
        {"missing Count", "[PathWarden]\r\nN0=a\r\nP0=C:\\a\r\n", {}},
        {"Count not a number", "[PathWarden]\r\nCount=two\r\nN0=a\r\nP0=C:\\a\r\n", {}},
        {"negative Count", "[PathWarden]\r\nCount=-5\r\nN0=a\r\nP0=C:\\a\r\n", {}},
        {"Count zero", "[PathWarden]\r\nCount=0\r\nN0=a\r\nP0=C:\\a\r\n", {}},
        {"no section", "[Other]\r\nCount=1\r\nN0=a\r\nP0=C:\\a\r\n", {}},
        {"Count larger than the pairs", "[PathWarden]\r\nCount=5\r\nN0=a\r\nP0=C:\\a\r\nN1=b\r\n", {{L"a", L"C:\\a"}}},
        {"gaps and empty values skipped",
         "[PathWarden]\r\nCount=4\r\nN0=\r\nP0=C:\\x\r\nN2=c\r\nP2=C:\\c\r\nN3=d\r\nP3=\r\n", {{L"c", L"C:\\c"}}},
        {"pairs at and past Count ignored", "[PathWarden]\r\nCount=1\r\nN1=b\r\nP1=C:\\b\r\n", {}},
        {"hexadecimal Count", "[PathWarden]\r\nCount=0x2\r\nN1=b\r\nP1=C:\\b\r\n", {{L"b", L"C:\\b"}}},
        {"keys in other case", "[pathwarden]\r\ncount=1\r\nn0=a\r\np0=C:\\a\r\n", {{L"a", L"C:\\a"}}},
        {"index with a leading zero is another key", "[PathWarden]\r\nCount=2\r\nN01=b\r\nP01=C:\\b\r\n", {}},
        {"the first of repeated keys", "[PathWarden]\r\nCount=1\r\nN0=first\r\nN0=second\r\nP0=C:\\a\r\n",
         {{L"first", L"C:\\a"}}},
    };
    for (const Case& c : cases) {
        WriteBytes(file, c.content);
        list.rows.clear();
        EXPECT_EQ(Import(file), c.expected) << c.name;
    }
    list.rows.clear();
    EXPECT_TRUE(Import(dir / "missing.pwb").empty());
}

TEST_F(BackupTest, AHugeCountEndsWithTheFilesPairs) {
    // Far-apart keys must not make the import walk every index in between (that would take
    // minutes); an index at or past Count is no entry.
    WriteBytes(file, "[PathWarden]\r\nCount=2147483647\r\nN0=a\r\nP0=C:\\a\r\nN2000000000=far\r\nP2000000000=C:\\far\r\n"
                     "N2147483647=past\r\nP2147483647=C:\\past\r\nN99999999999=huge\r\nP99999999999=C:\\huge\r\n");
    EXPECT_EQ(Import(file), (std::vector<Pair>{{L"a", L"C:\\a"}, {L"far", L"C:\\far"}}));
}

TEST_F(BackupTest, CharactersOutsideTheAnsiCodePageSurviveTheRoundTrip) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    const std::vector<Pair> rows = {{L"ไทย 😀", L"C:\\Ελληνικά\\ไทย"}, {L"中文", L"D:\\中文"}};
    list.rows = rows;
    qd::ExportBackup(tk::TIniFile(file.wstring()), list);
    list.rows.clear();
    EXPECT_EQ(Import(file), rows);

    // An older ANSI backup being updated is converted, its other content kept.
    WriteBytes(file, "[Other]\r\nname=\xD6\xD0\xCE\xC4\r\n");  // 中文 in GBK
    list.rows = rows;
    qd::ExportBackup(tk::TIniFile(file.wstring()), list);
    EXPECT_EQ(tk::TIniFile(file.wstring()).ReadString(L"Other", L"name", L""), L"中文");
    list.rows.clear();
    EXPECT_EQ(Import(file), rows);
}

TEST_F(BackupTest, ExportKeepsTheTextOfABackupInAnyEncodingItRecognises) {
    // Other sections of a backup written by other tools, in each encoding such a tool may use: the
    // export rewrites the file as UTF-16 and every character of them stays.
    const std::wstring other = L"[Other]\r\nname=\u4E2D\u6587 \u0E44\u0E17\u0E22 \u00E9\r\n";
    const std::wstring gbkOther = L"[Other]\r\nname=\u4E2D\u6587\r\n";  // GBK holds no Thai
    auto utf16 = [](const std::wstring& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t c : text) {
            const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }
        return bytes;
    };
    const struct {
        const char* name;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"UTF-8 without mark", tk::ToUtf8(other), other},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + tk::ToUtf8(other), other},
        {"UTF-16 big-endian", utf16(other, true), other},
        {"UTF-16 little-endian", utf16(other, false), other},
        {"ANSI (GBK)", "[Other]\r\nname=\xD6\xD0\xCE\xC4\r\n", gbkOther},
    };
    const std::vector<Pair> rows = {{L"\u4E2D\u6587", L"D:\\\u4E2D\u6587"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(file, c.bytes);
        list.rows = rows;
        qd::ExportBackup(tk::TIniFile(file.wstring()), list);
        EXPECT_EQ(ReadBytes(file).substr(0, 2), "\xFF\xFE");
        EXPECT_EQ(ReadText(file), c.text + L"[PathWarden]\r\nCount=1\r\nN0=\u4E2D\u6587\r\nP0=D:\\\u4E2D\u6587\r\n");
        list.rows.clear();
        EXPECT_EQ(Import(file), rows);
    }
}

TEST_F(BackupTest, ImportReadsABackupInAnyEncodingItRecognisesAndLeavesTheFileAsItWas) {
    const std::vector<Pair> rows = {{L"\u4E2D\u6587", L"D:\\\u4E2D\u6587"}, {L"\u0E44\u0E17\u0E22", L"E:\\\u00E9"}};
    const std::wstring text = L"[PathWarden]\r\nCount=2\r\nN0=" + rows[0].first + L"\r\nP0=" + rows[0].second +
                              L"\r\nN1=" + rows[1].first + L"\r\nP1=" + rows[1].second + L"\r\n";
    std::string bigEndian = "\xFE\xFF";
    for (wchar_t c : text) {
        bigEndian += static_cast<char>(c >> 8);
        bigEndian += static_cast<char>(c & 0xFF);
    }
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-8 without mark", tk::ToUtf8(text)},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + tk::ToUtf8(text)},
        {"UTF-16 big-endian", bigEndian},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(file, c.bytes);
        list.rows.clear();
        std::wstring copy;
        {
            const tk::TUnicodeIniCopy readable(file.wstring());
            copy = readable.File().FileName();
            qd::ImportBackup(readable.File(), list, [&](const std::wstring& a, const std::wstring& p) { list.AppendRow(a, p); });
        }
        EXPECT_EQ(list.rows, rows);
        EXPECT_EQ(ReadBytes(file), c.bytes);
        EXPECT_FALSE(std::filesystem::exists(copy)) << "the copy was left behind";
    }
}

TEST_F(BackupTest, ExportLeavesEveryOtherFileBesideTheBackupAlone) {
    // Files whose names a rewrite through a temporary file might pick.
    const std::vector<std::filesystem::path> neighbours = {dir / "list.pwb.tmp", dir / "list.tmp", dir / "list.pwb.bak"};
    for (const auto& n : neighbours) WriteBytes(n, "mine");
    WriteBytes(file, "[Other]\r\nx=1\r\n");
    list.rows = {{L"a", L"C:\\a"}};
    qd::ExportBackup(tk::TIniFile(file.wstring()), list);
    for (const auto& n : neighbours) EXPECT_EQ(ReadBytes(n), "mine") << n.string();
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, neighbours.size() + 1) << "a temporary file was left behind";
    EXPECT_EQ(Key(file, L"N0"), L"a");
}

TEST_F(BackupTest, ABackupInGbkBytesImports) {
    // Written by the program on a Chinese system: the ANSI code page, no byte order mark.
    WriteBytes(file, "[PathWarden]\r\nCount=2\r\nN0=Windows\xB0\xB2\xD7\xB0\xC4\xBF\xC2\xBC\r\nP0=C:\\windows\r\n"
                     "N1=\xD6\xD0\xCE\xC4\r\nP1=D:\\\xD6\xD0\xCE\xC4\\\r\n");
    EXPECT_EQ(Import(file), (std::vector<Pair>{{L"Windows安装目录", L"C:\\windows"}, {L"中文", L"D:\\中文\\"}}));
}

TEST_F(BackupTest, ExportToAFolderThatCannotBeWrittenRaisesTheIniErrorAndLeavesNoFile) {
    const std::filesystem::path target = dir / "no such folder" / "list.pwb";
    list.rows = {{L"a", L"C:\\a"}};
    try {
        qd::ExportBackup(tk::TIniFile(target.wstring()), list);
        FAIL() << "exported into a folder that does not exist";
    } catch (const tk::EIniFileException& e) {
        EXPECT_EQ(e.Message(), L"Unable to write to " + target.wstring());
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "no such folder"));
}

}  // namespace
