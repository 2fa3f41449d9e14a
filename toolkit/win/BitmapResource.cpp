#include "toolkit/win/BitmapResource.h"

#include <cstring>
#include <string>
#include <vector>

namespace tk {

void LoadBitmapResource(TBitmap& bitmap, std::wstring_view name, HMODULE module) {
    if (!module) module = GetModuleHandleW(nullptr);
    const std::wstring key(name);
    HRSRC info = key.empty() ? nullptr : FindResourceW(module, key.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const auto* data = handle ? static_cast<const std::uint8_t*>(LockResource(handle)) : nullptr;
    const DWORD size = info ? SizeofResource(module, info) : 0;
    if (!data || size == 0) throw EResNotFound(L"Resource " + key + L" not found");

    // A bitmap resource is a BMP file without its 14-byte file header: put one in front and let
    // the decoder check every size and offset (it refuses a palette of more than 256 colours, and
    // with it any offset below that overflows). The pixels follow the info header, the palette of
    // an indexed picture and the colour masks of a bit-field picture.
    std::uint32_t headerSize = 0, colorsUsed = 0, compression = 0;
    std::uint16_t bitCount = 0;
    if (size >= 4) std::memcpy(&headerSize, data, 4);
    if (headerSize >= 40 && size >= 40) {
        std::memcpy(&bitCount, data + 14, 2);
        std::memcpy(&compression, data + 16, 4);
        std::memcpy(&colorsUsed, data + 32, 4);
    }
    std::uint64_t offset = 14ull + headerSize;
    if (bitCount != 0 && bitCount <= 8) offset += 4ull * (colorsUsed ? colorsUsed : (1u << bitCount));
    if (headerSize == 40 && compression == 3 /* BI_BITFIELDS */) offset += 12;

    std::vector<std::uint8_t> file(14 + size);
    const std::uint32_t fileSize = static_cast<std::uint32_t>(file.size());
    const std::uint32_t offBits = static_cast<std::uint32_t>(offset);
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(&file[2], &fileSize, 4);
    std::memcpy(&file[10], &offBits, 4);
    std::memcpy(&file[14], data, size);
    bitmap.LoadFromBytes(file.data(), file.size());
}

}  // namespace tk
