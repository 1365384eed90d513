#pragma once
// The shape of a single-scan baseline JPEG as its entropy-coded data need it: the
// components in scan order with their sampling, quantization and Huffman tables,
// the MCU grid, the restart interval and where the entropy-coded data begin.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/bytes.h"

namespace velmora {

struct HuffmanTable {
    std::array<std::uint8_t, 17> bits{};  // bits[l]: how many codes of length l
    std::array<std::uint8_t, 256> values{};
};

struct ScanComponent {
    int horizontal = 1;  // sampling factors
    int vertical = 1;
    int blocksAcross = 0;  // the component's block grid as the scan covers it
    int blocksDown = 0;
    std::array<std::uint16_t, 64> quantization{};  // natural (row-major) order
    int dcTable = 0;  // index into ScanLayout::dcTables / acTables
    int acTable = 0;
};

// One block of an MCU: whose it is and where it sits within the MCU, in blocks.
struct McuSlot {
    int component = 0;
    int across = 0;
    int down = 0;
};

struct ScanLayout {
    int width = 0;
    int height = 0;
    int maxHorizontal = 1;
    int maxVertical = 1;
    std::vector<ScanComponent> components;  // in scan order
    std::vector<HuffmanTable> dcTables;
    std::vector<HuffmanTable> acTables;
    std::vector<McuSlot> mcu;
    int mcusAcross = 0;
    int mcusDown = 0;
    unsigned restartInterval = 0;  // MCUs per interval, 0: no restart markers
    std::size_t entropyStart = 0;  // offset of the first entropy-coded byte

    std::size_t mcuCount() const { return std::size_t(mcusAcross) * std::size_t(mcusDown); }
    bool grayscale() const { return components.size() == 1; }
};

// The layout of `data` when it is an 8-bit, Huffman-coded, sequential JPEG whose
// first scan holds every component (one grey, or YCbCr); nullopt for anything else,
// including streams whose headers libjpeg rejects, so its own decoder reports those.
std::optional<ScanLayout> readBaselineLayout(const Bytes& data);

}  // namespace velmora
