// skindump: loads a skin file with the program's reader and lists its records in chain order.
//
//   skindump FILE [PASSWORD]
//
// One line per loaded record: "bitmap NAME WxH", "integer NAME N", "boolean NAME 0|1",
// "string NAME "text"". Exit status: 0 loaded, 1 failed (not a skin archive or no data member),
// 2 rejected (password missing or wrong, wrong length, over 64 MB), 3 malformed (record data or a
// bitmap).
#include <cstdio>
#include <iostream>
#include <string>

#include "skin/reader/ArchiveMember.h"
#include "skin/reader/SkinFileReader.h"
#include "toolkit/Exception.h"

namespace {

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: skindump FILE [PASSWORD]\n";
        return 1;
    }
    try {
        const Tsk2SkinFileReader reader(argv[1], argc == 3 ? argv[2] : "");
        if (!reader.Loaded()) {
            std::cerr << "skindump: rejected (password missing or wrong, data of the wrong length, or data over "
                      << (skin::kMaxMemberSize >> 20) << " MB)\n";
            return 2;
        }
        const skin::SkinTables& t = reader.Tables();
        for (const auto& [kind, i] : t.order) {
            switch (kind) {
                case skin::RecordKind::Bitmap:
                    std::cout << "bitmap " << t.bitmaps[i].first << ' ' << t.bitmaps[i].second.width << 'x'
                              << t.bitmaps[i].second.height << '\n';
                    break;
                case skin::RecordKind::Integer:
                    std::cout << "integer " << t.integers[i].first << ' ' << t.integers[i].second << '\n';
                    break;
                case skin::RecordKind::Boolean:
                    std::cout << "boolean " << t.booleans[i].first << ' ' << (t.booleans[i].second ? 1 : 0) << '\n';
                    break;
                case skin::RecordKind::String:
                    std::cout << "string " << t.strings[i].first << ' ' << Quote(t.strings[i].second) << '\n';
                    break;
            }
        }
        return 0;
    } catch (const tk::Exception& e) {
        std::cerr << "skindump: " << e.what() << '\n';
        return e.Message() == kSkinReadFailedMessage ? 1 : 3;
    } catch (const std::exception& e) {
        std::cerr << "skindump: " << e.what() << '\n';
        return 3;
    }
}
