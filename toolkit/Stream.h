// Byte streams: an abstract stream, a growable memory stream and a file stream. Platform-free
// (the file stream opens wide paths on Windows), so the decoder and the skin reader use them in
// both builds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace tk {

enum class SeekOrigin { Begin, Current, End };

// Allocates as std::allocator does, but the bytes a vector grows by are left uninitialised
// instead of cleared: a memory stream grown for a producer that writes the new bytes at once
// (a decoder writing in place) is then not cleared first.
template <class T>
struct TUninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = TUninitialisedAllocator<U>;
    };
    TUninitialisedAllocator() = default;
    template <class U>
    TUninitialisedAllocator(const TUninitialisedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// The bytes of a memory stream.
using TStreamBytes = std::vector<std::uint8_t, TUninitialisedAllocator<std::uint8_t>>;

inline bool operator==(const TStreamBytes& a, const std::vector<std::uint8_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position; returns the new position. Positions before 0 are clamped to 0.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }
    virtual std::int64_t Size();

    // Reads or writes exactly count bytes or throws EReadError / EWriteError.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies count bytes from source (all that remains when count is 0); returns the bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::span<const std::uint8_t> bytes) : data_(bytes.begin(), bytes.end()) {}

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    const TStreamBytes& Bytes() const { return data_; }
    // The stream's bytes, for a producer that writes them in place; valid until the size changes.
    std::uint8_t* Memory() { return data_.data(); }
    // Grows (new bytes are zero) or shortens the stream; the position stays, at most the new size.
    void SetSize(std::int64_t size);
    // As SetSize, but bytes added are not cleared: the caller writes every one of them (or
    // shortens the stream again) before anything reads them.
    void SetSizeForWriting(std::int64_t size);
    void Clear();
    void LoadFromFile(const std::filesystem::path& path);
    void SaveToFile(const std::filesystem::path& path) const;

private:
    TStreamBytes data_;
    std::int64_t position_ = 0;
};

enum class FileMode { OpenRead, Create, OpenReadWrite };

class TFileStream : public TStream {
public:
    // Throws EFOpenError (open modes) or EFCreateError (Create) naming the file.
    TFileStream(const std::filesystem::path& path, FileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
};

}  // namespace tk
