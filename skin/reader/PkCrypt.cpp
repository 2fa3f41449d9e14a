#include "skin/reader/PkCrypt.h"

#include <array>

namespace skin {

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

std::uint32_t Crc32Step(std::uint32_t crc, std::uint8_t byte) {
    return kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = Crc32Step(crc, data[i]);
    return ~crc;
}

PkCipher::PkCipher(std::string_view password) {
    for (char c : password) Update(static_cast<std::uint8_t>(c));
}

void PkCipher::Update(std::uint8_t plainByte) {
    key0_ = Crc32Step(key0_, plainByte);
    key1_ = (key1_ + (key0_ & 0xFF)) * 134775813u + 1;
    key2_ = Crc32Step(key2_, static_cast<std::uint8_t>(key1_ >> 24));
}

std::uint8_t PkCipher::KeyStreamByte() const {
    const std::uint32_t temp = (key2_ & 0xFFFF) | 2;
    return static_cast<std::uint8_t>((temp * (temp ^ 1)) >> 8);
}

std::uint8_t PkCipher::Decrypt(std::uint8_t cipherByte) {
    const std::uint8_t plain = cipherByte ^ KeyStreamByte();
    Update(plain);
    return plain;
}

std::uint8_t PkCipher::Encrypt(std::uint8_t plainByte) {
    const std::uint8_t cipher = plainByte ^ KeyStreamByte();
    Update(plainByte);
    return cipher;
}

}  // namespace skin
