// Decoding throughput of this decoder against zlib's raw inflate and libdeflate, on the same
// streams in the same run: generated text, a large BMP image, random bytes and highly repetitive
// data, each compressed by zlib at levels 1, 6 and 9. This decoder runs twice: into a memory
// stream ("ours", decoded in place, as the anchors decode into a buffer) and into another stream
// ("ours-stream", through its window and 32768-byte writes). After the benchmarks a table gives
// this decoder's throughput as a ratio of each anchor's (above 1: faster), from the medians when
// the benchmarks run with repetitions, and a second table the heap memory each decoder takes to
// decode the text.
//
//   bench_inflate [--benchmark_filter=...] [--benchmark_min_time=...] [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/deflate/Inflate.h"
#include "toolkit/Stream.h"

// Heap bytes in use and their peak, counted by every allocation of the program (operator new
// below, and the allocators handed to zlib and libdeflate).
namespace heap {
std::size_t current = 0;
std::size_t peak = 0;
// Each block starts with its size, padded to keep the caller's alignment.
constexpr std::size_t kHeader = 16;
[[gnu::noinline]] void* Allocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    current += size;
    peak = std::max(peak, current);
    return block + kHeader;
}
[[gnu::noinline]] void Release(void* pointer) {
    if (!pointer) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    current -= size;
    std::free(block);
}
}  // namespace heap

void* operator new(std::size_t size) {
    if (void* p = heap::Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { heap::Release(p); }
void operator delete[](void* p) noexcept { heap::Release(p); }
void operator delete(void* p, std::size_t) noexcept { heap::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { heap::Release(p); }

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rng {
    std::uint64_t state;
    std::uint32_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    }
};

constexpr std::size_t kSize = 8u << 20;

// Words of 2 to 9 letters drawn with a Zipf-like skew, with punctuation and line breaks.
Bytes MakeText() {
    Rng rng{1};
    std::vector<std::string> words;
    for (int i = 0; i < 3000; ++i) {
        std::string w;
        const int len = 2 + static_cast<int>(rng.Next() % 8);
        for (int k = 0; k < len; ++k) w += static_cast<char>("etaoinshrdlucmfwypvbgkqjxz"[rng.Next() % (k % 2 ? 6 : 26)]);
        words.push_back(w);
    }
    Bytes text;
    int column = 0;
    while (text.size() < kSize) {
        const double u = (rng.Next() + 1.0) / 4294967296.0;
        const std::size_t index = static_cast<std::size_t>(std::pow(u, 3.0) * words.size());
        const std::string& w = words[index];
        text.insert(text.end(), w.begin(), w.end());
        column += static_cast<int>(w.size()) + 1;
        const std::uint32_t r = rng.Next() % 16;
        if (r == 0) text.push_back(',');
        if (r == 1) text.push_back('.');
        if (column > 70) {
            text.push_back('\n');
            column = 0;
        } else {
            text.push_back(' ');
        }
    }
    text.resize(kSize);
    return text;
}

// A 24-bit BMP of 1920 x 1440: gradients, flat panels with borders (as skin artwork has) and a
// noisy photographic region.
Bytes MakeBmp() {
    const int width = 1920, height = 1440, stride = width * 3;
    Bytes bmp(54 + static_cast<std::size_t>(stride) * height);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, static_cast<std::uint32_t>(stride) * height);
    Rng rng{7};
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &bmp[54 + static_cast<std::size_t>(y) * stride];
        for (int x = 0; x < width; ++x) {
            std::uint8_t b, g, r;
            if (y < 480) {  // gradient sky
                b = static_cast<std::uint8_t>(200 + y / 10);
                g = static_cast<std::uint8_t>(120 + y / 6 + x / 64);
                r = static_cast<std::uint8_t>(60 + x / 16);
            } else if (y < 960) {  // panels with bevelled borders
                const int px = x % 240, py = (y - 480) % 120;
                const bool edge = px < 2 || py < 2 || px > 237 || py > 117;
                const std::uint8_t face = static_cast<std::uint8_t>(180 + (x / 240) * 8);
                b = g = r = edge ? static_cast<std::uint8_t>(px < 2 || py < 2 ? 255 : 64) : face;
                if ((px - 120) * (px - 120) + (py - 60) * (py - 60) < 400) r = 220, g = 40, b = 40;
            } else {  // photograph-like: smooth shapes plus sensor noise
                const double fx = x / 97.0, fy = y / 53.0;
                const int base = static_cast<int>(128 + 60 * std::sin(fx) * std::cos(fy));
                const int n = static_cast<int>(rng.Next() % 13) - 6;
                b = static_cast<std::uint8_t>(std::clamp(base + n - 20, 0, 255));
                g = static_cast<std::uint8_t>(std::clamp(base + n, 0, 255));
                r = static_cast<std::uint8_t>(std::clamp(base + n + 30, 0, 255));
            }
            row[x * 3] = b;
            row[x * 3 + 1] = g;
            row[x * 3 + 2] = r;
        }
    }
    return bmp;
}

Bytes MakeRandom() {
    Rng rng{3};
    Bytes bytes(kSize);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng.Next() >> 16);
    return bytes;
}

// A 64-byte record repeated, with a counter and an occasional changed byte.
Bytes MakeRepetitive() {
    Bytes bytes;
    bytes.reserve(kSize);
    Rng rng{5};
    std::uint32_t counter = 0;
    while (bytes.size() < kSize) {
        std::uint8_t record[64];
        std::memset(record, 'A', sizeof record);
        std::memcpy(record, &counter, 4);
        if (rng.Next() % 50 == 0) record[10 + rng.Next() % 50] = static_cast<std::uint8_t>(rng.Next());
        bytes.insert(bytes.end(), record, record + sizeof record);
        counter += 1;
    }
    bytes.resize(kSize);
    return bytes;
}

Bytes ZlibDeflate(const Bytes& data, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Reads from a byte array without copying it first, as a file stream would hand out its data.
class TArraySource : public tk::TStream {
public:
    explicit TArraySource(const Bytes& bytes) : bytes_(bytes) {}
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::size_t n = std::min(static_cast<std::size_t>(count), bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t, tk::SeekOrigin) override { return static_cast<std::int64_t>(position_); }

private:
    const Bytes& bytes_;
    std::size_t position_ = 0;
};

// Writes into a buffer allocated once, as the anchors decode into one.
class TArraySink : public tk::TStream {
public:
    explicit TArraySink(Bytes& bytes) : bytes_(bytes) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        const std::size_t n = std::min(static_cast<std::size_t>(count), bytes_.size() - position_);
        std::memcpy(bytes_.data() + position_, buffer, n);
        position_ += n;
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Seek(std::int64_t, tk::SeekOrigin) override { return static_cast<std::int64_t>(position_); }
    std::size_t Written() const { return position_; }

private:
    Bytes& bytes_;
    std::size_t position_ = 0;
};

struct Input {
    std::string name;
    Bytes data;
};

struct Stream {
    const Input* input;
    int level;
    Bytes compressed;
};

void Check(bool ok, benchmark::State& state) {
    if (!ok) state.SkipWithError("decoded output differs");
}

void BenchOursStream(benchmark::State& state, const Stream& s) {
    Bytes out(s.input->data.size());
    for (auto _ : state) {
        TArraySource source(s.compressed);
        TArraySink sink(out);
        const bool ok = InflateStream(source, sink);
        if (!ok || sink.Written() != out.size()) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.data());
    }
    Check(out == s.input->data, state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}

// Decodes into a memory stream whose storage was allocated once, before the timing: the decoder
// then writes its output in place.
void BenchOurs(benchmark::State& state, const Stream& s) {
    tk::TMemoryStream sink;
    sink.SetSize(static_cast<std::int64_t>(s.input->data.size()) + 65536);
    for (auto _ : state) {
        sink.SetSize(0);  // keeps the storage
        TArraySource source(s.compressed);
        const bool ok = InflateStream(source, sink);
        if (!ok || sink.Bytes().size() != s.input->data.size()) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(sink.Memory());
    }
    Check(sink.Bytes() == s.input->data, state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.input->data.size()));
}

void BenchZlib(benchmark::State& state, const Stream& s) {
    Bytes out(s.input->data.size());
    z_stream z{};
    inflateInit2(&z, -15);
    for (auto _ : state) {
        inflateReset(&z);
        z.next_in = const_cast<Bytef*>(s.compressed.data());
        z.avail_in = static_cast<uInt>(s.compressed.size());
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        if (inflate(&z, Z_FINISH) != Z_STREAM_END) state.SkipWithError("zlib failed");
        benchmark::DoNotOptimize(out.data());
    }
    inflateEnd(&z);
    Check(out == s.input->data, state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}

void BenchLibdeflate(benchmark::State& state, const Stream& s) {
    Bytes out(s.input->data.size());
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        size_t actual = 0;
        if (libdeflate_deflate_decompress(d, s.compressed.data(), s.compressed.size(), out.data(), out.size(), &actual) !=
            LIBDEFLATE_SUCCESS) {
            state.SkipWithError("libdeflate failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    libdeflate_free_decompressor(d);
    Check(out == s.input->data, state);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}

// Collects each benchmark's throughput and prints the ratio table at the end.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const auto it = run.counters.find("bytes_per_second");
            if (it == run.counters.end()) continue;
            if (run.run_type == Run::RT_Iteration) {
                rates_[run.run_name.str()] = it->second.value;
            } else if (run.aggregate_name == "median") {
                medians_[run.run_name.str()] = it->second.value;
            }
        }
    }
    void PrintRatios(const std::vector<Stream>& streams) {
        std::printf("\nThroughput of this decoder as a ratio of the anchor's, same run (above 1: faster)\n");
        std::printf("%-12s %5s %10s %12s %10s %14s %20s\n", "input", "level", "ratio", "ours MB/s", "vs zlib",
                    "vs libdeflate", "ours-stream vs zlib");
        for (const Stream& s : streams) {
            const std::string key = "/" + s.input->name + "/" + std::to_string(s.level);
            const double ours = Rate("ours" + key), zlib = Rate("zlib" + key), lib = Rate("libdeflate" + key);
            if (ours <= 0 || zlib <= 0 || lib <= 0) continue;
            const double stream = Rate("ours-stream" + key);
            std::printf("%-12s %5d %9.2f:1 %12.0f %10.2f %14.2f", s.input->name.c_str(), s.level,
                        static_cast<double>(s.input->data.size()) / static_cast<double>(s.compressed.size()),
                        ours / 1e6, ours / zlib, ours / lib);
            if (stream > 0) std::printf(" %20.2f", stream / zlib);
            std::printf("\n");
        }
    }

private:
    double Rate(const std::string& name) const {
        for (const auto* rates : {&medians_, &rates_}) {
            for (const auto& [key, value] : *rates) {
                if (key.rfind(name, 0) == 0) return value;
            }
        }
        return 0;
    }
    std::map<std::string, double> rates_;
    std::map<std::string, double> medians_;
};

void* ZlibAllocate(void*, uInt items, uInt size) { return heap::Allocate(std::size_t{items} * size); }
void ZlibFree(void*, void* p) { heap::Release(p); }

// Peak heap bytes each decoder allocates while decoding one stream into a buffer allocated before
// (the buffer itself not counted): decoder state, tables, window and input buffer.
void PrintMemory(const std::vector<Stream>& streams) {
    libdeflate_set_memory_allocator(heap::Allocate, heap::Release);
    std::printf("\nHeap memory used by each decoder for the text (peak bytes during one decode)\n");
    std::printf("%-12s %5s %12s %14s %12s %14s\n", "input", "level", "ours", "ours-stream", "zlib", "libdeflate");
    for (const Stream& s : streams) {
        if (s.input->name != "text") continue;
        Bytes out(s.input->data.size());
        std::size_t ours = 0, oursStream = 0, zlib = 0, lib = 0;
        {
            tk::TMemoryStream sink;
            sink.SetSize(static_cast<std::int64_t>(out.size()) + 65536);
            sink.SetSize(0);
            const std::size_t before = heap::current;
            heap::peak = before;
            TArraySource source(s.compressed);
            InflateStream(source, sink);
            ours = heap::peak - before;
        }
        {
            const std::size_t before = heap::current;
            heap::peak = before;
            TArraySource source(s.compressed);
            TArraySink sink(out);
            InflateStream(source, sink);
            oursStream = heap::peak - before;
        }
        {
            const std::size_t before = heap::current;
            heap::peak = before;
            z_stream z{};
            z.zalloc = ZlibAllocate;
            z.zfree = ZlibFree;
            inflateInit2(&z, -15);
            z.next_in = const_cast<Bytef*>(s.compressed.data());
            z.avail_in = static_cast<uInt>(s.compressed.size());
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            inflate(&z, Z_FINISH);
            inflateEnd(&z);
            zlib = heap::peak - before;
        }
        {
            const std::size_t before = heap::current;
            heap::peak = before;
            libdeflate_decompressor* d = libdeflate_alloc_decompressor();
            size_t actual = 0;
            libdeflate_deflate_decompress(d, s.compressed.data(), s.compressed.size(), out.data(), out.size(), &actual);
            libdeflate_free_decompressor(d);
            lib = heap::peak - before;
        }
        std::printf("%-12s %5d %12zu %14zu %12zu %14zu\n", s.input->name.c_str(), s.level, ours, oursStream, zlib, lib);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Input> inputs = {{"text", MakeText()}, {"bmp", MakeBmp()}, {"random", MakeRandom()},
                                 {"repetitive", MakeRepetitive()}};
    std::vector<Stream> streams;
    for (const Input& input : inputs) {
        for (int level : {1, 6, 9}) streams.push_back({&input, level, ZlibDeflate(input.data, level)});
    }
    for (const Stream& s : streams) {
        const std::string key = "/" + s.input->name + "/" + std::to_string(s.level);
        benchmark::RegisterBenchmark(("ours" + key).c_str(), BenchOurs, std::cref(s));
        benchmark::RegisterBenchmark(("ours-stream" + key).c_str(), BenchOursStream, std::cref(s));
        benchmark::RegisterBenchmark(("zlib" + key).c_str(), BenchZlib, std::cref(s));
        benchmark::RegisterBenchmark(("libdeflate" + key).c_str(), BenchLibdeflate, std::cref(s));
    }
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(streams);
    PrintMemory(streams);
    benchmark::Shutdown();
    return 0;
}
