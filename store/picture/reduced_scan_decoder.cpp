#include "store/picture/reduced_scan_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

#include "store/picture/reduced_block.h"

namespace velmora {
namespace {

std::vector<ComponentCoding> codingFor(const ScanLayout& layout, int n, bool& valid) {
    std::vector<ComponentCoding> coding;
    valid = true;
    for (const ScanComponent& component : layout.components) {
        ComponentCoding entry{HuffmanLookup(layout.dcTables[static_cast<std::size_t>(component.dcTable)], true),
                              HuffmanLookup(layout.acTables[static_cast<std::size_t>(component.acTable)], false),
                              component.quantization[0], reducedWeights(component.quantization, n)};
        valid = valid && entry.dc.valid() && entry.ac.valid();
        coding.push_back(std::move(entry));
    }
    return coding;
}

// A point where the guessing thread started an MCU: its bit position and how many
// blocks it had decoded by then.
struct MeetingPoint {
    std::uint64_t bit;
    std::size_t block;
};

// Writes decoded blocks into the planes at their place in the MCU grid. Each thread
// keeps its own copy: the copy remembers the MCU it is at.
template <int N>
class PlaneWriter {
public:
    PlaneWriter(const ScanLayout& layout, std::vector<ReducedPlane>& planes)
        : mcusAcross_(static_cast<std::size_t>(layout.mcusAcross)) {
        const bool interleaved = layout.components.size() > 1;
        for (std::size_t c = 0; c < layout.components.size(); ++c) {
            const ScanComponent& component = layout.components[c];
            const auto width = static_cast<std::size_t>(planes[c].width);
            base_[c] = planes[c].samples.data();
            width_[c] = width;
            across_[c] = static_cast<std::size_t>(interleaved ? component.horizontal : 1) * N;
            down_[c] = static_cast<std::size_t>(interleaved ? component.vertical : 1) * N * width;
        }
        for (const McuSlot& slot : layout.mcu) {
            const auto c = static_cast<std::size_t>(slot.component);
            slots_.push_back({c, static_cast<std::size_t>(slot.down) * N * width_[c] + static_cast<std::size_t>(slot.across) * N});
        }
    }

    void seek(std::size_t mcu) {
        mcuX_ = mcu % mcusAcross_;
        mcuY_ = mcu / mcusAcross_;
    }
    void advance() {
        if (++mcuX_ == mcusAcross_) {
            mcuX_ = 0;
            ++mcuY_;
        }
    }

    // Block `slot` of the current MCU.
    void write(std::size_t slot, int dc, int dcQuantization, const std::int16_t* acShare) const {
        const Slot& where = slots_[slot];
        const std::size_t c = where.component;
        const std::size_t width = width_[c];
        std::uint8_t* row = base_[c] + mcuY_ * down_[c] + mcuX_ * across_[c] + where.offset;
        const int level = dcLevel(dc, dcQuantization);
        for (int i = 0; i < N; ++i, row += width) {
            for (int j = 0; j < N; ++j) row[j] = clampSample(acShare[i * N + j] + level);
        }
    }

private:
    struct Slot {
        std::size_t component;
        std::size_t offset;  // from the MCU's corner in the component's plane
    };
    std::size_t mcusAcross_;
    std::array<std::uint8_t*, 4> base_{};
    std::array<std::size_t, 4> width_{}, across_{}, down_{};
    std::vector<Slot> slots_;
    std::size_t mcuX_ = 0, mcuY_ = 0;
};

// Decodes MCUs in order from a known state (the scan's start, or just after a
// restart marker), writing each block to its place.
template <int N>
class KnownStateDecoder {
public:
    // firstMarker: the index of the first restart marker the reader meets.
    KnownStateDecoder(const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                      const PlaneWriter<N>& writer, std::size_t firstMarker = 0)
        : layout_(layout), coding_(coding), writer_(writer), firstMarker_(firstMarker) {}

    // Moves past the restart marker that ends interval `index`; false when it is not there.
    bool restart(EntropyBitReader& reader, std::size_t index) { return reader.passRestart(index, firstMarker_); }

    // Decodes MCUs [first, end) and leaves `reached` at the first MCU not decoded;
    // stops early, before MCU m, when meet(position, m) says so. False for bad data.
    template <class Meet>
    bool decode(EntropyBitReader& reader, std::size_t first, std::size_t end, Meet meet, std::size_t& reached) {
        const unsigned interval = layout_.restartInterval;
        writer_.seek(first);
        for (std::size_t mcu = first; mcu < end; ++mcu, writer_.advance()) {
            if (interval != 0 && mcu > first && mcu % interval == 0) {
                if (!restart(reader, mcu / interval - 1)) return false;
                predictors.fill(0);
            }
            if (meet(reader.position(), mcu)) {
                reached = mcu;
                return true;
            }
            for (std::size_t slot = 0; slot < layout_.mcu.size(); ++slot) {
                const auto component = static_cast<std::size_t>(layout_.mcu[slot].component);
                const ComponentCoding& coding = coding_[component];
                int difference = 0;
                std::int16_t acShare[N * N];
                if (!decodeReducedBlock<N>(reader, coding, difference, acShare)) return false;
                predictors[component] = addDifference(predictors[component], difference);
                writer_.write(slot, predictors[component], coding.dcQuantization, acShare);
            }
            if (reader.overran()) return false;
        }
        reached = end;
        return true;
    }

    std::array<int, 4> predictors{};

private:
    const ScanLayout& layout_;
    const std::vector<ComponentCoding>& coding_;
    PlaneWriter<N> writer_;
    std::size_t firstMarker_;
};

// Decodes from a guessed state to the end of the data, keeping each block's DC
// difference and AC share, and where its MCUs began.
template <int N>
class GuessingDecoder {
public:
    static constexpr std::size_t kStride = N * N + 1;

    GuessingDecoder(const ScanLayout& layout, const std::vector<ComponentCoding>& coding, std::size_t expectedBlocks)
        : layout_(layout), coding_(coding) {
        blocks.reserve(expectedBlocks * kStride);
    }

    void decode(EntropyBitReader& reader) {
        while (!reader.overran()) {
            points.push_back({reader.position(), count()});
            for (const McuSlot& slot : layout_.mcu) {
                int difference = 0;
                std::int16_t acShare[N * N];
                if (!decodeReducedBlock<N>(reader, coding_[static_cast<std::size_t>(slot.component)], difference,
                                           acShare)) {
                    failures.push_back(points.size() - 1);
                    reader.refill();
                    reader.skip(1);  // try again one bit on
                    break;
                }
                if (reader.overran()) return;
                blocks.insert(blocks.end(), acShare, acShare + N * N);
                blocks.push_back(static_cast<std::int16_t>(difference));
            }
        }
    }

    std::size_t count() const { return blocks.size() / kStride; }

    std::vector<std::int16_t> blocks;
    std::vector<MeetingPoint> points;
    std::vector<std::size_t> failures;  // the points whose MCU failed to decode

private:
    const ScanLayout& layout_;
    const std::vector<ComponentCoding>& coding_;
};

bool noMeeting(std::uint64_t, std::size_t) {
    return false;
}

bool isRestartMarker(const Bytes& data, std::size_t at) {
    return at + 1 < data.size() && data[at] == 0xFF && (data[at + 1] & 0xF8) == 0xD0;
}

// A point `share` percent into the entropy-coded data, moved off a stuffed zero byte.
std::size_t rawSplit(const Bytes& data, std::size_t start, std::size_t share) {
    std::size_t at = start + (data.size() - start) / 100 * share;
    while (at < data.size() && data[at - 1] == 0xFF) ++at;
    return at;
}

// Two threads split at the restart marker nearest after the middle.
template <int N>
bool decodeAtRestart(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                     const PlaneWriter<N>& writer) {
    const std::size_t start = layout.entropyStart;
    std::size_t at = rawSplit(data, start, 50);
    while (at + 1 < data.size() && !isRestartMarker(data, at)) ++at;
    std::size_t marker = 0;  // restart markers before it
    for (const std::uint8_t* mark = data.data() + start;
         (mark = static_cast<const std::uint8_t*>(std::memchr(mark, 0xFF, static_cast<std::size_t>(data.data() + at - mark)))) != nullptr;
         ++mark) {
        marker += isRestartMarker(data, static_cast<std::size_t>(mark - data.data())) ? 1 : 0;
    }
    const std::size_t split = (marker + 1) * layout.restartInterval;
    if (!isRestartMarker(data, at) || split >= layout.mcuCount()) return false;
    bool secondOk = false;
    std::thread second([&] {
        KnownStateDecoder<N> decoder(layout, coding, writer, marker + 1);
        ScanChunks chunks(data, at + 2);
        EntropyBitReader reader(chunks);
        std::size_t reached = 0;
        secondOk = decoder.decode(reader, split, layout.mcuCount(), noMeeting, reached);
    });
    KnownStateDecoder<N> decoder(layout, coding, writer);
    ScanChunks chunks(data, start);
    EntropyBitReader reader(chunks);
    std::size_t reached = 0;
    const bool firstOk = decoder.decode(reader, 0, split, noMeeting, reached) && decoder.restart(reader, marker);
    second.join();
    return firstOk && secondOk;
}

// Two threads, the second starting on a guess in the middle. (The first thread also
// writes its blocks out and finds the meeting point, but the second keeps every block
// it decodes and each MCU's start: about the same work.)
template <int N>
bool decodeMeeting(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                   const PlaneWriter<N>& writer) {
    const std::size_t start = layout.entropyStart;
    const std::size_t middle = rawSplit(data, start, 50);
    // Its place in the unstuffed data: each 0xFF before it had a zero byte stuffed after it.
    const auto stuffed = static_cast<std::size_t>(std::count(data.begin() + static_cast<std::ptrdiff_t>(start),
                                                             data.begin() + static_cast<std::ptrdiff_t>(middle), 0xFF));
    const std::uint64_t middleBit = std::uint64_t{middle - start - stuffed} * 8;
    const std::size_t totalBlocks = layout.mcuCount() * layout.mcu.size();

    GuessingDecoder<N> guesser(layout, coding, totalBlocks / 2 + totalBlocks / 16);
    std::thread second([&] {
        ScanChunks chunks(data, middle, middleBit / 8);
        EntropyBitReader reader(chunks);
        guesser.decode(reader);
    });
    bool joined = false;
    std::size_t next = 0;
    bool met = false;
    auto meet = [&](std::uint64_t bit, std::size_t) {
        if (bit < middleBit) return false;
        if (!joined) {
            second.join();
            joined = true;
        }
        const std::vector<MeetingPoint>& points = guesser.points;
        while (next < points.size() && points[next].bit < bit) ++next;
        met = next < points.size() && points[next].bit == bit;
        return met;
    };
    KnownStateDecoder<N> decoder(layout, coding, writer);
    ScanChunks chunks(data, start);
    EntropyBitReader reader(chunks);
    std::size_t reached = 0;
    const bool ok = decoder.decode(reader, 0, layout.mcuCount(), meet, reached);
    if (!joined) second.join();
    if (!ok) return false;
    if (!met) return true;  // the first thread decoded everything

    // The guessed blocks from the meeting point on are the stream's own.
    const std::size_t meetingBlock = guesser.points[next].block;
    const std::size_t needed = (layout.mcuCount() - reached) * layout.mcu.size();
    if (guesser.count() - meetingBlock < needed) return false;  // the data end too soon
    // A failure counts from the meeting point up to the last block of the picture
    // (past it, the guess decodes the padding bits).
    for (std::size_t failure : guesser.failures) {
        if (failure >= next && guesser.points[failure].block < meetingBlock + needed) return false;
    }
    // Written out by both threads: the second half's DC predictors are summed first.
    const std::size_t mcuBlocks = layout.mcu.size();
    const std::size_t half = needed / mcuBlocks / 2 * mcuBlocks;
    const std::int16_t* blocks = guesser.blocks.data() + meetingBlock * GuessingDecoder<N>::kStride;
    std::array<int, 4> halfway = decoder.predictors;
    for (std::size_t i = 0; i < half; ++i) {
        const auto component = static_cast<std::size_t>(layout.mcu[i % mcuBlocks].component);
        halfway[component] = addDifference(halfway[component], blocks[i * GuessingDecoder<N>::kStride + N * N]);
    }
    auto writeOut = [&](std::size_t from, std::size_t to, std::array<int, 4> predictors) {
        PlaneWriter<N> own = writer;
        own.seek(reached + from / mcuBlocks);
        const std::int16_t* block = blocks + from * GuessingDecoder<N>::kStride;
        for (std::size_t i = from, slot = 0; i < to; ++i, block += GuessingDecoder<N>::kStride) {
            const auto component = static_cast<std::size_t>(layout.mcu[slot].component);
            predictors[component] = addDifference(predictors[component], block[N * N]);
            own.write(slot, predictors[component], coding[component].dcQuantization, block);
            if (++slot == mcuBlocks) {
                slot = 0;
                own.advance();
            }
        }
    };
    std::thread lower([&] { writeOut(half, needed, halfway); });
    writeOut(0, half, decoder.predictors);
    lower.join();
    return true;
}

template <int N>
bool decodeWith(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                bool twoThreads, std::vector<ReducedPlane>& planes) {
    PlaneWriter<N> writer(layout, planes);
    if (twoThreads && layout.restartInterval != 0 && decodeAtRestart<N>(data, layout, coding, writer)) return true;
    if (twoThreads && layout.restartInterval == 0) return decodeMeeting<N>(data, layout, coding, writer);
    KnownStateDecoder<N> decoder(layout, coding, writer);
    ScanChunks chunks(data, layout.entropyStart);
    EntropyBitReader reader(chunks);
    std::size_t reached = 0;
    return decoder.decode(reader, 0, layout.mcuCount(), noMeeting, reached);
}

}  // namespace

bool decodeReducedScan(const Bytes& data, const ScanLayout& layout, int n, bool twoThreads,
                       std::vector<ReducedPlane>& planes) {
    bool valid = false;
    const std::vector<ComponentCoding> coding = codingFor(layout, n, valid);
    if (!valid || layout.components.size() > 4) return false;
    planes.clear();
    for (const ScanComponent& component : layout.components) {
        ReducedPlane plane;
        plane.width = component.blocksAcross * n;
        plane.height = component.blocksDown * n;
        plane.samples.resize(static_cast<std::size_t>(plane.width) * static_cast<std::size_t>(plane.height));
        planes.push_back(std::move(plane));
    }
    switch (n) {
        case 1: return decodeWith<1>(data, layout, coding, twoThreads, planes);
        case 2: return decodeWith<2>(data, layout, coding, twoThreads, planes);
        case 4: return decodeWith<4>(data, layout, coding, twoThreads, planes);
        default: return false;
    }
}

}  // namespace velmora
