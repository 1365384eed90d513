#pragma once
// One 8 x 8 block of a baseline scan decoded straight to its N x N reduced pixels:
// each coefficient is added, dequantized, into the box averages of the inverse DCT
// over (8/N) x (8/N) squares, without ever forming the 64 pixels. N = 1 only skips
// the AC codes: the block's pixel is its DC term.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "store/picture/entropy_bit_reader.h"
#include "store/picture/huffman_lookup.h"

namespace velmora {

struct ComponentCoding {
    HuffmanLookup dc;
    HuffmanLookup ac;
    int dcQuantization = 1;
    // weights[k * N * N + i]: what coefficient k (zigzag order), valued 1, adds to
    // reduced pixel i, its quantization included.
    std::unique_ptr<float[]> weights;
    // acLimits[k]: the largest AC value at zigzag position k whose dequantized value
    // fits 16 signed bits, the width libjpeg's reduced transforms multiply in. Values
    // of up to safeSize bits fit at every position and are not looked at.
    std::array<std::int32_t, 64> acLimits{};
    int safeSize = 15;
    // Set where libjpeg decodes this component finer than N x N a block (4:2:0 chroma,
    // which it scales up in the transform): its finer samples swing farther than the
    // means kept here, so the block's AC terms are bounded instead (see below).
    bool fineSamples = false;
    std::array<std::int32_t, 64> steps{};  // quantization steps in zigzag order
    int fineSize = 0;                       // libjpeg's samples a side for this component
    std::unique_ptr<float[]> fineWeights{};  // reducedWeights() at fineSize
};

// For a component libjpeg decodes finer, the farthest its AC terms may move one of
// libjpeg's samples: with the DC level kept within [-64, 319], no finer sample leaves
// the range libjpeg's range limit clamps ([-384, 639]), and none is wrapped. Each AC
// value moves a sample by at most a quarter of itself dequantized: blocks whose values
// add up to no more than four times the swing need no closer look.
constexpr int kFineSwing = 320;

// Whether the AC terms of a block move none of its samples at `coding.fineSize` a side
// by more than kFineSwing (the exact samples, for the blocks the sum does not settle).
bool fineSamplesWithinSwing(const ComponentCoding& coding, const int* positions, const int* values, int count);

// Weights for `quantization` (natural order) and n reduced pixels per side.
std::unique_ptr<float[]> reducedWeights(const std::array<std::uint16_t, 64>& quantization, int n);
std::array<std::int32_t, 64> acLimits(const std::array<std::uint16_t, 64>& quantization);
std::array<std::int32_t, 64> zigzagSteps(const std::array<std::uint16_t, 64>& quantization);
// The most bits an AC value may take and fit 16 signed bits dequantized at any position.
int safeAcSize(const std::array<std::uint16_t, 64>& quantization);

// The DC term's share of every reduced pixel, rounded as libjpeg's 1 x 1 transform
// does; limited, since a damaged stream's DC values can grow without bound.
inline int dcLevel(int dc, int quantization) {
    const std::int64_t level = ((std::int64_t{dc} * quantization + 4) >> 3) + 128;
    return static_cast<int>(level < -8192 ? -8192 : level > 8192 ? 8192 : level);
}

// DC prediction with wrap-around instead of overflow.
inline int addDifference(int predictor, int difference) {
    return static_cast<int>(static_cast<std::uint32_t>(predictor) + static_cast<std::uint32_t>(difference));
}

inline std::uint8_t clampSample(int value) {
    return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// The next symbol of `table`, or -1 for bits that are no code of it.
inline int decodeSymbol(EntropyBitReader& reader, const HuffmanLookup& table) {
    if (reader.count() < 32) reader.refill();
    const std::uint16_t entry = table.fast(reader.peek(HuffmanLookup::kLookBits));
    if (entry != 0) {
        reader.skip(entry >> 8);
        return entry & 0xFF;
    }
    int length = 0;
    const int symbol = table.slow(reader.bits(), length);
    if (symbol >= 0) reader.skip(length);
    return symbol;
}

// Without a branch: the sign of a coefficient is a coin toss for the predictor.
inline int extendSign(std::uint32_t bits, int size) {
    const int value = static_cast<int>(bits);
    const int negative = (value - (1 << (size - 1))) >> 31;  // all ones when below half
    return value + (negative & (1 - (1 << size)));
}

// Decodes one block: its DC difference and the AC share of its N x N pixels, rounded.
// False for codes a sound stream never holds (no code, or past the 64th coefficient).
template <int N>
bool decodeReducedBlock(EntropyBitReader& shared, const ComponentCoding& coding, int& dcDifference,
                        std::int16_t* acShare) {
    // A local copy keeps the bit window in registers.
    EntropyBitReader local = shared;
    auto keep = [&](bool result) {
        shared = local;
        return result;
    };
    const int dcSize = decodeSymbol(local, coding.dc);
    if (dcSize < 0) return keep(false);
    dcDifference = dcSize == 0 ? 0 : extendSign(local.take(dcSize), dcSize);
    // The codes first, the arithmetic after: the two loops stay tight.
    int positions[64];
    int values[64];
    int count = 0;
    for (int k = 1; k < 64; ++k) {
        // At most 26 bits per turn: a code of 16 and 10 extra bits.
        if (local.count() < 32) local.refill();
        const std::uint32_t entry = coding.ac.acEntry(local.peek(HuffmanLookup::kLookBits));
        int symbol;
        if (entry & HuffmanLookup::kWhole) {
            local.skip(static_cast<int>(entry & 63));
            k += static_cast<int>((entry >> 12) & 15);
            if (k > 63) return keep(false);
            positions[count] = k;
            values[count++] = static_cast<std::int16_t>(entry >> 16);
            continue;
        }
        if (entry != 0) {
            local.skip(static_cast<int>(entry & 63));
            symbol = static_cast<int>((entry >> 8) & 0xFF);
        } else {
            int length = 0;
            symbol = coding.ac.slow(local.bits(), length);
            if (symbol < 0) return keep(false);
            local.skip(length);
        }
        const int run = symbol >> 4;
        const int size = symbol & 15;
        if (size == 0) {
            if (run != 15) break;  // end of block
            k += 15;
            if (k > 63) return keep(false);
            continue;
        }
        k += run;
        if (k > 63) return keep(false);
        positions[count] = k;
        values[count++] = extendSign(local.take(size), size);
        // A value libjpeg's reduced transforms would wrap is declined rather than
        // shown otherwise (whole-coefficient entries never hold one).
        if (N > 1 && size > coding.safeSize &&
            std::abs(values[count - 1]) > coding.acLimits[static_cast<std::size_t>(k)]) {
            return keep(false);
        }
    }
    if (coding.fineSamples) {
        std::int64_t sum = 0;
        for (int c = 0; c < count; ++c) {
            sum += std::int64_t{values[c] < 0 ? -values[c] : values[c]} * coding.steps[static_cast<std::size_t>(positions[c])];
        }
        if (sum > 4 * kFineSwing && !fineSamplesWithinSwing(coding, positions, values, count)) return keep(false);
    }
    using Lanes = float __attribute__((vector_size(16)));
    constexpr int kVectors = N * N >= 4 ? N * N / 4 : 1;
    // Two sums taking turns halve the chain of dependent additions.
    Lanes sum[kVectors] = {}, other[kVectors] = {};
    if constexpr (N > 1) {
        auto add = [&](Lanes* into, int c) {
            const float* weight = coding.weights.get() + positions[c] * N * N;
            const Lanes factor = Lanes{} + static_cast<float>(values[c]);
            for (int v = 0; v < kVectors; ++v) {
                Lanes lanes;
                std::memcpy(&lanes, weight + 4 * v, sizeof lanes);
                into[v] += factor * lanes;
            }
        };
        int c = 0;
        for (; c + 1 < count; c += 2) {
            add(sum, c);
            add(other, c + 1);
        }
        if (c < count) add(sum, c);
        for (int v = 0; v < kVectors; ++v) sum[v] += other[v];
    }
    keep(true);
    // Rounded without a library call; far outside the sample range only for
    // nonsense data, so kept within 16 bits.
    using Whole = std::int32_t __attribute__((vector_size(16)));
    const Lanes low = Lanes{} - 4096.0f, high = Lanes{} + 4096.0f, offset = Lanes{} + 4096.5f;
    for (int v = 0; v < kVectors; ++v) {
        Lanes share = sum[v] < low ? low : sum[v];
        share = share > high ? high : share;
        const Whole rounded = __builtin_convertvector(share + offset, Whole) - 4096;
        for (int i = 0; i < 4 && 4 * v + i < N * N; ++i) acShare[4 * v + i] = static_cast<std::int16_t>(rounded[i]);
    }
    return true;
}

}  // namespace velmora
