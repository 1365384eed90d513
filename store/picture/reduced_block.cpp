#include "store/picture/reduced_block.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora {
namespace {

constexpr std::array<std::uint8_t, 64> kZigzagToNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The mean of the inverse DCT's basis function `frequency` over reduced pixel `index`
// (8/n samples wide).
double boxBasis(int index, int frequency, int n) {
    const int width = 8 / n;
    const double scale = frequency == 0 ? std::sqrt(0.5) : 1.0;
    double sum = 0;
    for (int x = index * width; x < (index + 1) * width; ++x) {
        sum += scale / 2 * std::cos((2 * x + 1) * frequency * std::numbers::pi / 16);
    }
    return sum / width;
}

}  // namespace

std::unique_ptr<float[]> reducedWeights(const std::array<std::uint16_t, 64>& quantization, int n) {
    auto weights = std::make_unique<float[]>(static_cast<std::size_t>(64 * n * n));
    for (int k = 0; k < 64; ++k) {
        const int natural = kZigzagToNatural[static_cast<std::size_t>(k)];
        const int row = natural / 8, column = natural % 8;
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                weights[static_cast<std::size_t>(k * n * n + i * n + j)] =
                    static_cast<float>(quantization[static_cast<std::size_t>(natural)] * boxBasis(i, row, n) *
                                       boxBasis(j, column, n));
            }
        }
    }
    return weights;
}

std::array<std::int32_t, 64> acLimits(const std::array<std::uint16_t, 64>& quantization) {
    std::array<std::int32_t, 64> limits{};
    for (std::size_t k = 0; k < 64; ++k) {
        const int step = quantization[kZigzagToNatural[k]];
        limits[k] = step == 0 ? 0x7FFFFFFF : 32767 / step;
    }
    return limits;
}

int safeAcSize(const std::array<std::uint16_t, 64>& quantization) {
    int largest = 1;
    for (std::size_t k = 1; k < 64; ++k) largest = std::max<int>(largest, quantization[kZigzagToNatural[k]]);
    int size = 15;
    while (size > 0 && ((1 << size) - 1) * largest > 32767) --size;
    return size;
}

std::array<std::int32_t, 64> zigzagSteps(const std::array<std::uint16_t, 64>& quantization) {
    std::array<std::int32_t, 64> steps{};
    for (std::size_t k = 0; k < 64; ++k) steps[k] = quantization[kZigzagToNatural[k]];
    return steps;
}

bool fineSamplesWithinSwing(const ComponentCoding& coding, const int* positions, const int* values, int count) {
    const int samples = coding.fineSize * coding.fineSize;
    float moved[64] = {};
    for (int c = 0; c < count; ++c) {
        const float* weight = coding.fineWeights.get() + positions[c] * samples;
        for (int i = 0; i < samples; ++i) moved[i] += static_cast<float>(values[c]) * weight[i];
    }
    for (int i = 0; i < samples; ++i) {
        if (moved[i] < -kFineSwing || moved[i] > kFineSwing) return false;
    }
    return true;
}

}  // namespace velmora
