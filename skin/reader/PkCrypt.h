// CRC-32 (the standard polynomial 0xEDB88320) and the traditional PKWARE stream cipher that skin
// archives may use for their data member. Platform-free.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace skin {

// One step of the CRC-32 register (no pre- or post-inversion).
std::uint32_t Crc32Step(std::uint32_t crc, std::uint8_t byte);
// The CRC-32 of a byte range as ZIP archives record it.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

// The three-key cipher of the ZIP application note. Keys start from fixed values and take every
// password byte; each plain byte, encrypted or decrypted, moves them on.
class PkCipher {
public:
    explicit PkCipher(std::string_view password);

    std::uint8_t Decrypt(std::uint8_t cipherByte);
    std::uint8_t Encrypt(std::uint8_t plainByte);
    void Decrypt(std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) data[i] = Decrypt(data[i]);
    }
    void Encrypt(std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) data[i] = Encrypt(data[i]);
    }

    // key0, key1 and key2 as they stand now.
    std::array<std::uint32_t, 3> Keys() const { return {key0_, key1_, key2_}; }

private:
    void Update(std::uint8_t plainByte);
    std::uint8_t KeyStreamByte() const;

    std::uint32_t key0_ = 0x12345678;
    std::uint32_t key1_ = 0x23456789;
    std::uint32_t key2_ = 0x34567890;
};

}  // namespace skin
