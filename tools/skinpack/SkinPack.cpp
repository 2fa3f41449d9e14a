// skinpack: writes a skin file from a text description.
//
//   skinpack [--password PW] [--images DIR] [--store] DESCRIPTION OUTPUT
//
// The description holds one record per line, in the order they go into the file:
//
//   bitmap  NAME  FILE.bmp      a BMP file (relative to --images, else to the description)
//   integer NAME  VALUE         decimal or 0x hexadecimal, may be negative
//   color   NAME  VALUE         a colour: #RRGGBB, or an integer as stored (red in the low byte;
//                               negative values name system colours)
//   boolean NAME  0|1
//   string  NAME  "text"        the bytes between the quotes, \" and \\ as escapes
//   password PW                 encrypts the data member (the command line option wins)
//
// Blank lines and lines starting with '#' are ignored. The data member is compressed with zlib's
// DEFLATE unless --store asks for stored blocks.
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "skin/reader/SkinArchiveWriter.h"
#include "toolkit/BmpImage.h"

namespace fs = std::filesystem;
using skin::Bytes;

namespace {

Bytes ZlibDeflate(const Bytes& in) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("zlib");
    Bytes out(deflateBound(&z, in.size()) + 16);
    z.next_in = const_cast<Bytes::value_type*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("zlib could not compress the data");
    return out;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string Unquote(const std::string& text, int line) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        throw std::runtime_error("line " + std::to_string(line) + ": string value must be in double quotes");
    std::string out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && i + 2 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::int32_t ParseInteger(const std::string& text, int line) {
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > UINT32_MAX)
        throw std::runtime_error("line " + std::to_string(line) + ": bad number '" + text + "'");
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

int main(int argc, char** argv) {
    std::string password;
    bool passwordGiven = false, store = false;
    fs::path images;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--password" && i + 1 < argc) {
            password = argv[++i];
            passwordGiven = true;
        } else if (a == "--images" && i + 1 < argc) {
            images = argv[++i];
        } else if (a == "--store") {
            store = true;
        } else {
            args.push_back(a);
        }
    }
    if (args.size() != 2) {
        std::cerr << "usage: skinpack [--password PW] [--images DIR] [--store] DESCRIPTION OUTPUT\n";
        return 2;
    }
    const fs::path description = args[0], output = args[1];
    if (images.empty()) images = description.parent_path();

    try {
        std::ifstream in(description);
        if (!in) throw std::runtime_error("cannot read " + description.string());
        std::vector<skin::SkinRecordInput> records;
        std::string text;
        int line = 0;
        while (std::getline(in, text)) {
            ++line;
            if (!text.empty() && text.back() == '\r') text.pop_back();
            std::istringstream fields(text);
            std::string kind, name;
            fields >> kind;
            if (kind.empty() || kind[0] == '#') continue;
            fields >> name;
            std::string rest;
            std::getline(fields >> std::ws, rest);
            while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
            if (kind == "password") {
                if (!passwordGiven) password = name;
                continue;
            }
            if (name.empty() || name.size() > skin::kSkinRecordNameSize)
                throw std::runtime_error("line " + std::to_string(line) + ": record name missing or longer than 64 bytes");
            if (kind == "bitmap") {
                Bytes bmp = ReadFile(images / rest);
                tk::DecodeBmp(bmp);  // refuse to pack a picture the reader would refuse
                records.push_back(skin::SkinRecordInput::Bitmap(name, std::move(bmp)));
            } else if (kind == "color" && !rest.empty() && rest[0] == '#') {
                const std::int32_t rgb = ParseInteger("0x" + rest.substr(1), line);
                if (rest.size() != 7) throw std::runtime_error("line " + std::to_string(line) + ": colour must be #RRGGBB");
                // Stored as the toolkit keeps colours: red in the low byte.
                records.push_back(skin::SkinRecordInput::Integer(
                    name, ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16)));
            } else if (kind == "integer" || kind == "color") {
                records.push_back(skin::SkinRecordInput::Integer(name, ParseInteger(rest, line)));
            } else if (kind == "boolean") {
                records.push_back(skin::SkinRecordInput::Boolean(name, static_cast<std::uint8_t>(ParseInteger(rest, line))));
            } else if (kind == "string") {
                records.push_back(skin::SkinRecordInput::String(name, Unquote(rest, line)));
            } else {
                throw std::runtime_error("line " + std::to_string(line) + ": unknown record kind '" + kind + "'");
            }
        }
        skin::ArchiveMemberInput member;
        member.name = "SKINDATA.SK2";
        member.content = skin::BuildSkinData(records);
        member.password = password;
        const Bytes archive = store ? skin::BuildSkinArchive({member}) : skin::BuildSkinArchive({member}, ZlibDeflate);
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
        if (!out) throw std::runtime_error("cannot write " + output.string());
        std::cout << output.string() << ": " << records.size() << " records, " << member.content.size()
                  << " bytes of data, " << archive.size() << " bytes" << (password.empty() ? "" : ", encrypted") << "\n";
    } catch (const std::exception& e) {
        std::cerr << "skinpack: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
