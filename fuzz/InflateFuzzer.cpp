// Arbitrary bytes as a DEFLATE stream. The decoder must neither touch memory outside its buffers
// nor hang (ASan, UBSan and libFuzzer's timeout watch for both), and its outcome must not depend
// on how the source splits its reads or on the kind of output: whole reads and short reads, and
// decoding in place into a memory stream (after bytes already there), give the same result and
// the same output. A stream that decodes passes under an output limit of its own length and is
// refused as too long, without writing that much, under a limit one byte lower.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzStreams.h"
#include "skin/deflate/Inflate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TSliceSource whole(data, size, size + 1);
    fuzz::THashSink wholeOut;
    const bool wholeOk = InflateStream(whole, wholeOut);

    fuzz::TSliceSource pieces(data, size, size % 13 + 1);
    fuzz::THashSink piecesOut;
    const bool piecesOk = InflateStream(pieces, piecesOut);

    if (wholeOk != piecesOk || wholeOut.Size64() != piecesOut.Size64() || wholeOut.Hash() != piecesOut.Hash()) {
        std::abort();
    }

    constexpr std::size_t kPrefix = 3;
    fuzz::TSliceSource again(data, size, size % 7 + 1);
    tk::TMemoryStream memory(std::vector<std::uint8_t>(kPrefix, 0xA5));
    memory.Seek(0, tk::SeekOrigin::End);
    const bool memoryOk = InflateStream(again, memory);
    fuzz::THashSink memoryOut;
    memoryOut.Write(memory.Memory() + kPrefix, memory.Size() - static_cast<std::int64_t>(kPrefix));
    if (memoryOk != wholeOk || memoryOut.Size64() != wholeOut.Size64() || memoryOut.Hash() != wholeOut.Hash() ||
        memory.Position() != memory.Size() || memory.Bytes()[0] != 0xA5 || memory.Bytes()[kPrefix - 1] != 0xA5) {
        std::abort();
    }

    if (wholeOk) {
        const std::uint64_t length = wholeOut.Size64();
        fuzz::TSliceSource exact(data, size, size % 11 + 1);
        fuzz::THashSink exactOut;
        InflateError error = InflateError::None;
        if (!InflateStream(exact, exactOut, error, length) || exactOut.Hash() != wholeOut.Hash()) std::abort();
        if (length > 0) {
            fuzz::TSliceSource over(data, size, size + 1);
            fuzz::THashSink overOut;
            if (InflateStream(over, overOut, error, length - 1) || error != InflateError::OutputTooLong ||
                overOut.Size64() >= length) {
                std::abort();
            }
        }
    }
    return 0;
}
