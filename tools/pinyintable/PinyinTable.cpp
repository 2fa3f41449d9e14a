// Turns the Mandarin readings of the Unicode Han database (Unihan_Readings.txt) into the folder
// menu's table of pinyin initials: for every code point of the CJK Unified Ideographs block
// (U+4E00..U+9FFF), a bit mask of the letters its readings start with (bit 0 for a, bit 25 for z).
// Every reading field counts (kMandarin, kHanyuPinyin, kHanyuPinlu, kXHC1983, kTGHZ2013), so a
// character with several readings gets the initial of each. Run by the build; a reading whose first
// letter it cannot tell ends it with an error instead of leaving the letter out.
//
//   pinyintable Unihan_Readings.txt OUT.cpp
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kFirst = 0x4E00, kLast = 0x9FFF;

// The code point a UTF-8 text starts with (0 when it is not valid UTF-8).
std::uint32_t FirstCodePoint(const std::string& s) {
    if (s.empty()) return 0;
    const auto b = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned c = b(0);
    if (c < 0x80) return c;
    if ((c & 0xE0) == 0xC0) return ((c & 0x1F) << 6) | (b(1) & 0x3F);
    if ((c & 0xF0) == 0xE0) return ((c & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    return 0;
}

// The plain letter a syllable starts with: the letter itself, or the base letter of the vowels and
// nasals pinyin writes with tone marks. 0 for anything else.
char BaseLetter(std::uint32_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    struct Marked {
        std::uint32_t CodePoint;
        char Letter;
    };
    static const Marked marked[] = {
        {0xE0, 'a'}, {0xE1, 'a'}, {0x101, 'a'}, {0x1CE, 'a'},                // à á ā ǎ
        {0xE8, 'e'}, {0xE9, 'e'}, {0xEA, 'e'}, {0x113, 'e'}, {0x11B, 'e'},   // è é ê ē ě
        {0x1EBF, 'e'}, {0x1EC1, 'e'},                                        // ế ề
        {0xEC, 'i'}, {0xED, 'i'}, {0x12B, 'i'}, {0x1D0, 'i'},                // ì í ī ǐ
        {0xF2, 'o'}, {0xF3, 'o'}, {0x14D, 'o'}, {0x1D2, 'o'},                // ò ó ō ǒ
        {0xF9, 'u'}, {0xFA, 'u'}, {0x16B, 'u'}, {0x1D4, 'u'}, {0xFC, 'u'},   // ù ú ū ǔ ü
        {0x1D6, 'u'}, {0x1D8, 'u'}, {0x1DA, 'u'}, {0x1DC, 'u'},              // ǖ ǘ ǚ ǜ
        {0x144, 'n'}, {0x148, 'n'}, {0x1F9, 'n'},                            // ń ň ǹ
        {0x1E3F, 'm'},                                                       // ḿ
    };
    for (const Marked& m : marked)
        if (m.CodePoint == c) return m.Letter;
    return 0;
}

bool IsReadingField(const std::string& field) {
    return field == "kMandarin" || field == "kHanyuPinyin" || field == "kHanyuPinlu" || field == "kXHC1983" ||
           field == "kTGHZ2013";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: pinyintable Unihan_Readings.txt OUT.cpp\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "pinyintable: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::uint32_t> masks(kLast - kFirst + 1, 0);
    std::string line;
    int lineNumber = 0, readings = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        // U+4E00<TAB>kMandarin<TAB>yī
        const size_t tab1 = line.find('\t'), tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos || line.compare(0, 2, "U+") != 0) continue;
        if (!IsReadingField(line.substr(tab1 + 1, tab2 - tab1 - 1))) continue;
        const std::uint32_t code = static_cast<std::uint32_t>(std::stoul(line.substr(2, tab1 - 2), nullptr, 16));
        if (code < kFirst || code > kLast) continue;
        // Values: "hǎo hào", "10093.130:xī,lǔ 74609.020:lǔ,xī", "xíng(2943) háng(218)".
        std::istringstream words(line.substr(tab2 + 1));
        std::string word;
        while (words >> word) {
            const size_t colon = word.find(':');
            if (colon != std::string::npos) word = word.substr(colon + 1);
            std::istringstream syllables(word);
            std::string syllable;
            while (std::getline(syllables, syllable, ',')) {
                if (syllable.empty()) continue;
                const char letter = BaseLetter(FirstCodePoint(syllable));
                if (letter == 0) {
                    std::cerr << argv[1] << ":" << lineNumber << ": no pinyin initial in \"" << syllable << "\"\n";
                    return 1;
                }
                masks[code - kFirst] |= 1u << (letter - 'a');
                ++readings;
            }
        }
    }
    int characters = 0;
    for (std::uint32_t m : masks) characters += m != 0;
    // The block holds about 21,000 characters with readings: far fewer means the wrong file.
    if (characters < 20000) {
        std::cerr << "pinyintable: only " << characters << " characters with readings in " << argv[1] << "\n";
        return 1;
    }

    std::ofstream out(argv[2], std::ios::binary);
    out << "// Generated by tools/pinyintable from the Unicode Han database (Unihan_Readings.txt); do not edit.\n"
           "#include \"list/PinyinInitials.h\"\n\n"
           "namespace qd::pinyin {\n\n"
           "const std::uint32_t kInitialsTable[kLastHan - kFirstHan + 1] = {\n";
    char number[16];
    for (size_t i = 0; i < masks.size(); ++i) {
        std::snprintf(number, sizeof number, "0x%x,", masks[i]);
        out << number << ((i % 12 == 11) ? "\n" : "");
    }
    out << "};\n\n}  // namespace qd::pinyin\n";
    if (!out) {
        std::cerr << "pinyintable: cannot write " << argv[2] << "\n";
        return 1;
    }
    std::cout << "pinyintable: " << characters << " characters, " << readings << " readings\n";
    return 0;
}
