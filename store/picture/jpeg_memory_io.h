#pragma once
// libjpeg source and destination over memory, moving data in blocks of 4096 bytes.

#include <cstdio>

#include <jpeglib.h>

#include "base/bytes.h"

namespace velmora {

inline constexpr std::size_t kJpegBlockSize = 4096;

// Reads `data` (which must outlive the decompressor). An empty buffer is fatal
// error JERR_INPUT_EMPTY; running out later is a warning, and an end-of-image
// marker is supplied so a truncated stream decodes as far as it goes.
void setMemorySource(j_decompress_ptr cinfo, const Bytes& data);

// Appends the compressed stream to `out`, which grows 4096 bytes at a time and is
// cut to the stream's length when compression finishes.
void setMemoryDestination(j_compress_ptr cinfo, Bytes& out);

}  // namespace velmora
