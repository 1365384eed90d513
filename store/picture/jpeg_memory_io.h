#pragma once
// libjpeg source and destination over memory, moving data in blocks of 4096 bytes.

#include <cstdio>

#include <jpeglib.h>

#include "base/bytes.h"

namespace velmora {

inline constexpr std::size_t kJpegBlockSize = 4096;

// Reads `data` (which must outlive the decompressor). An empty buffer is fatal
// error JERR_INPUT_EMPTY; running out later is a warning, and an end-of-image
// marker is supplied so a truncated stream decodes as far as it goes. With
// prefixOnly, `data` is only the front of a stream and running out is fatal
// (JERR_INPUT_EOF), so a reader can fetch more and try again.
void setMemorySource(j_decompress_ptr cinfo, const Bytes& data, bool prefixOnly = false);
// True once the source has run out of data.
bool memorySourceRanOut(j_decompress_ptr cinfo);

// Appends the compressed stream to `out`, which grows 4096 bytes at a time and is
// cut to the stream's length when compression finishes.
void setMemoryDestination(j_compress_ptr cinfo, Bytes& out);

}  // namespace velmora
