// Arbitrary bytes as a DEFLATE stream. The decoder must neither touch memory outside its buffers
// nor hang (ASan, UBSan and libFuzzer's timeout watch for both), and its outcome must not depend
// on how the source splits its reads: whole reads and short reads give the same result and the
// same output.
#include <cstdint>
#include <cstdlib>

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
    return 0;
}
