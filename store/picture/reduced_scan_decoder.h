#pragma once
// Decodes a baseline scan (see jpeg_scan_layout.h) into one reduced plane per
// component, N x N samples per block. With two threads the entropy-coded data are
// split in the middle: at the restart marker nearest it when the stream has them;
// otherwise the second thread starts decoding at the middle byte on a guess, and its
// blocks are taken from the first point where the first thread, arriving there, finds
// both in the same state (Huffman codes resynchronise within a few blocks). Without a
// meeting point the first thread simply decodes everything.
//
// The contract, on any bytes whatever: the planes give libjpeg's reduced picture of
// the stream (within the small difference of the two inverse transforms), or the
// decoder declines and the caller leaves the stream to libjpeg. It declines whatever
// libjpeg would decode otherwise than a sound stream: a bad code, a coefficient past
// the 64th, too few data, a restart marker where none belongs, and sample values far
// enough out of range that libjpeg's range limit would wrap them. No thread it starts
// lets an exception escape. Its memory is the planes plus, with a guess, at most one
// short record per block of the picture; its time is bounded by the picture's blocks,
// not by the length of the data.

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

// False when the data hold anything a sound stream does not, or when memory runs
// out: the caller then leaves the stream to libjpeg, which reports or tolerates it
// as it always has.
bool decodeReducedScan(const Bytes& data, const ScanLayout& layout, int n, bool twoThreads,
                       std::vector<ReducedPlane>& planes);

// What the two-thread decodes of this process did so far, for the benchmarks.
struct SplitStatistics {
    std::uint64_t decodes = 0;       // two-thread decodes that ran to the end
    std::uint64_t met = 0;           // of them, those whose second thread's blocks were used
    std::uint64_t firstBlocks = 0;   // blocks decoded and kept by the calling thread
    std::uint64_t secondBlocks = 0;  // blocks decoded and kept by the second thread
};
SplitStatistics splitStatistics();

}  // namespace velmora
