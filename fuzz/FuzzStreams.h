// Streams for the fuzz targets: a source over the fuzzer's bytes that hands out at most a given
// number of bytes per read, and an output that keeps only a size and a hash (so a stream that
// expands a thousandfold costs no memory) or, on request, the bytes themselves.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "toolkit/Stream.h"

namespace fuzz {

class TSliceSource : public tk::TStream {
public:
    TSliceSource(const std::uint8_t* data, std::size_t size, std::size_t readLimit)
        : data_(data), size_(size), readLimit_(readLimit) {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::size_t n = std::min({static_cast<std::size_t>(count), size_ - position_, readLimit_});
        if (n > 0) std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, tk::SeekOrigin origin) override {
        std::int64_t base = origin == tk::SeekOrigin::Begin ? 0
                            : origin == tk::SeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                                : static_cast<std::int64_t>(size_);
        position_ = static_cast<std::size_t>(std::clamp<std::int64_t>(base + offset, 0, static_cast<std::int64_t>(size_)));
        return static_cast<std::int64_t>(position_);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t readLimit_;
    std::size_t position_ = 0;
};

class THashSink : public tk::TStream {
public:
    explicit THashSink(bool keep = false) : keep_(keep) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        for (std::int64_t i = 0; i < count; ++i) hash_ = (hash_ ^ p[i]) * 0x100000001B3ull;
        if (keep_) bytes_.insert(bytes_.end(), p, p + count);
        size_ += static_cast<std::uint64_t>(count);
        return count;
    }
    std::int64_t Seek(std::int64_t, tk::SeekOrigin) override { return static_cast<std::int64_t>(size_); }

    std::uint64_t Size64() const { return size_; }
    std::uint64_t Hash() const { return hash_; }
    const std::vector<std::uint8_t>& Kept() const { return bytes_; }

private:
    bool keep_;
    std::uint64_t size_ = 0;
    std::uint64_t hash_ = 0xCBF29CE484222325ull;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace fuzz
