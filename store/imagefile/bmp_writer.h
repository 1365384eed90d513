#pragma once
// Writes BMP files: 24-bit, or 8-bit with a colour table, uncompressed, bottom row first.

#include <cstdint>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora {

// The BMP file of a bitmap: file header, 40-byte info header, for an 8-bit bitmap a
// colour table of its palette (4-byte entries blue, green, red, 0; 256 black entries
// when it has none), then the rows from the bottom row up, each padded with zero bytes
// to a multiple of 4.
Bytes encodeBmp(const Bitmap& bitmap);

// The same file as runs of bytes: the headers and colour table (kept in `headers`),
// then the bitmap's own rows and their padding. Nothing of the pixels is copied; the
// runs are valid while the bitmap and `headers` are.
std::vector<ByteRun> bmpFileRuns(const Bitmap& bitmap, Bytes& headers);

// Appends the 14-byte BMP file header ("BM", the file's size, the rows' offset) to out.
void putBmpFileHeader(Bytes& out, std::uint32_t fileSize, std::uint32_t pixelOffset);

// Writes encodeBmp(bitmap) to path, replacing a file of that name only once the new
// file is complete. Raises "Cannot create file "<full path>". <system text>".
void writeBmpFile(const Bitmap& bitmap, const std::string& path);

}  // namespace velmora
