// inflate IN OUT: decodes the raw DEFLATE data in IN (no zlib or gzip framing) into OUT.
// Exit status 0 when the final block was decoded, 1 otherwise; OUT then holds what was decoded
// before the failure, and the message on standard error says why the decoder stopped.
#include <cstdio>
#include <exception>

#include "skin/deflate/Inflate.h"
#include "toolkit/Stream.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: inflate IN OUT\n");
        return 1;
    }
    try {
        tk::TFileStream source(argv[1], tk::FileMode::OpenRead);
        tk::TFileStream output(argv[2], tk::FileMode::Create);
        InflateError error = InflateError::None;
        if (!InflateStream(source, output, error)) {
            std::fprintf(stderr, "inflate: %s: %s\n", argv[1], InflateErrorText(error));
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "inflate: %s\n", e.what());
        return 1;
    } catch (...) {
        std::fprintf(stderr, "inflate: cannot read %s or write %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
