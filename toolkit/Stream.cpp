#include "toolkit/Stream.h"

#include <algorithm>
#include <cstring>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace tk {

namespace {

std::wstring PathText(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return FromUtf8(path.string());
#endif
}

std::FILE* OpenFile(const std::filesystem::path& path, FileMode mode) {
#ifdef _WIN32
    const wchar_t* how = mode == FileMode::OpenRead ? L"rb" : mode == FileMode::Create ? L"w+b" : L"r+b";
    return _wfopen(path.c_str(), how);
#else
    const char* how = mode == FileMode::OpenRead ? "rb" : mode == FileMode::Create ? "w+b" : "r+b";
    return std::fopen(path.c_str(), how);
#endif
}

int SeekFile(std::FILE* f, std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, offset, whence);
#else
    return fseeko(f, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t TellFile(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return static_cast<std::int64_t>(ftello(f));
#endif
}

}  // namespace

std::int64_t TStream::Size() {
    const std::int64_t here = Position();
    const std::int64_t size = Seek(0, SeekOrigin::End);
    Seek(here, SeekOrigin::Begin);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError(L"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError(L"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    std::vector<std::uint8_t> chunk(65536);
    std::int64_t copied = 0;
    const bool all = count == 0;
    while (all || copied < count) {
        const std::int64_t want = all ? static_cast<std::int64_t>(chunk.size())
                                      : std::min<std::int64_t>(static_cast<std::int64_t>(chunk.size()), count - copied);
        const std::int64_t got = source.Read(chunk.data(), want);
        if (got <= 0) {
            if (all) break;
            throw EReadError(L"Stream read error");
        }
        WriteBuffer(chunk.data(), got);
        copied += got;
    }
    return copied;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const std::int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    const size_t end = static_cast<size_t>(position_ + count);
    if (end > data_.size()) {
        // Bytes between the old end and a position beyond it read as zeros.
        const size_t oldSize = data_.size();
        data_.resize(end);
        if (static_cast<size_t>(position_) > oldSize) std::memset(data_.data() + oldSize, 0, static_cast<size_t>(position_) - oldSize);
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : Size();
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    const std::size_t oldSize = data_.size();
    SetSizeForWriting(size);
    if (data_.size() > oldSize) std::memset(data_.data() + oldSize, 0, data_.size() - oldSize);
}

void TMemoryStream::SetSizeForWriting(std::int64_t size) {
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::filesystem::path& path) {
    TFileStream file(path, FileMode::OpenRead);
    Clear();
    CopyFrom(file, 0);
    position_ = 0;
}

void TMemoryStream::SaveToFile(const std::filesystem::path& path) const {
    TFileStream file(path, FileMode::Create);
    file.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

TFileStream::TFileStream(const std::filesystem::path& path, FileMode mode) : path_(path) {
    file_ = OpenFile(path, mode);
    if (!file_) {
        if (mode == FileMode::Create)
            throw EFCreateError(FormatText(L"Cannot create file \"%s\"", {PathText(path)}));
        throw EFOpenError(FormatText(L"Cannot open file \"%s\"", {PathText(path)}));
    }
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    if (SeekFile(file_, offset, whence) != 0 && origin != SeekOrigin::Current) SeekFile(file_, 0, SEEK_SET);
    return TellFile(file_);
}

}  // namespace tk
