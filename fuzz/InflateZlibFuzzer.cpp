// Differential check against zlib's raw inflate: whenever zlib decodes the input to the end of
// its final block, this decoder must succeed too and produce the same bytes. (The other way round
// is not required: zlib also rejects incomplete code sets that this decoder accepts until an
// unused code is actually met.)
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzStreams.h"
#include "skin/deflate/Inflate.h"

namespace {

// zlib's output, or nothing when it does not reach the end of the stream. Gives up on outputs
// above the limit so a single input cannot exhaust memory.
bool ZlibInflate(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    constexpr std::size_t kLimit = 64u << 20;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    std::uint8_t buffer[65536];
    int rc = Z_OK;
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (rc == Z_OK && out.size() < kLimit && (z.avail_in > 0 || z.avail_out == 0));
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> expected;
    if (!ZlibInflate(data, size, expected)) return 0;

    // Through the decoder's window into another stream, and in place into a memory stream.
    fuzz::TSliceSource source(data, size, size % 2 ? size + 1 : size % 4093 + 1);
    fuzz::THashSink output(true);
    const bool ok = InflateStream(source, output);
    if (!ok || output.Kept() != expected) {
        std::fprintf(stderr, "zlib decoded %zu bytes; this decoder %s with %zu bytes\n", expected.size(),
                     ok ? "succeeded" : "failed", output.Kept().size());
        std::abort();
    }
    fuzz::TSliceSource again(data, size, size % 3 ? size + 1 : size % 509 + 1);
    tk::TMemoryStream memory;
    const bool memoryOk = InflateStream(again, memory);
    if (!memoryOk || !(memory.Bytes() == expected)) {
        std::fprintf(stderr, "zlib decoded %zu bytes; this decoder, in place, %s with %zu bytes\n", expected.size(),
                     memoryOk ? "succeeded" : "failed", memory.Bytes().size());
        std::abort();
    }
    return 0;
}
