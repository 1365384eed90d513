#pragma once
// Decodes a baseline scan (see jpeg_scan_layout.h) into one reduced plane per
// component, N x N samples per block. With two threads the entropy-coded data are
// split in the middle: at a restart marker when the stream has them; otherwise the
// second thread starts decoding at the middle byte on a guess, and its blocks are
// taken from the first point where the first thread, arriving there, finds both in
// the same state (Huffman codes resynchronise within a few blocks). Without a
// meeting point the first thread simply decodes everything.

#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "store/picture/jpeg_scan_layout.h"

namespace velmora {

struct ReducedPlane {
    int width = 0;   // blocks across x N
    int height = 0;  // blocks down x N
    std::vector<std::uint8_t> samples;
};

// False when the data hold anything a sound stream does not (a bad code, a
// coefficient past the 64th, a missing restart marker, too few data): the caller
// then leaves the stream to libjpeg, which reports or tolerates it as it always has.
bool decodeReducedScan(const Bytes& data, const ScanLayout& layout, int n, bool twoThreads,
                       std::vector<ReducedPlane>& planes);

}  // namespace velmora
