// Decoding of raw DEFLATE data (RFC 1951, no zlib or gzip framing, no checksum).
#pragma once

#include "skin/deflate/HuffmanTree.h"
#include "toolkit/Stream.h"

// Decodes the DEFLATE stream read from source and writes the decoded bytes to output, block by
// block until the final block. Returns true when the final block has been decoded and all of its
// output written; false on corrupt data, input that ends before the final block is complete, or a
// short write. Output produced before a failure stays written. Bytes after the final block are
// not interpreted (the source may have been read past them). Exceptions thrown by the streams
// themselves pass through.
bool InflateStream(tk::TStream& source, tk::TStream& output);

// The code trees of fixed-code blocks, built once on first use and shared read-only afterwards.
const THuffmanTree& FixedLiteralTree();
const THuffmanTree& FixedDistanceTree();
