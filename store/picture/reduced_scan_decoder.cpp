#include "store/picture/reduced_scan_decoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#include "base/worker_thread.h"
#include "store/picture/decode_cancel.h"
#include "store/picture/reduced_block.h"

namespace velmora {
namespace {

struct SplitCounters {
    std::atomic<std::uint64_t> decodes{0}, met{0}, firstBlocks{0}, secondBlocks{0};
};

SplitCounters& splitCounters() {
    static SplitCounters counters;
    return counters;
}

void countSplit(bool met, std::uint64_t firstBlocks, std::uint64_t secondBlocks) {
    SplitCounters& counters = splitCounters();
    counters.decodes.fetch_add(1, std::memory_order_relaxed);
    counters.met.fetch_add(met ? 1 : 0, std::memory_order_relaxed);
    counters.firstBlocks.fetch_add(firstBlocks, std::memory_order_relaxed);
    counters.secondBlocks.fetch_add(secondBlocks, std::memory_order_relaxed);
}

// The samples a side libjpeg makes of this component's blocks when decoding at n: more
// than n where it scales the transform up instead of upsampling (4:2:0 chroma).
int libjpegBlockSize(const ScanLayout& layout, const ScanComponent& component, int n) {
    int size = n;
    while (size < 8 && (layout.maxHorizontal * n) % (component.horizontal * size * 2) == 0 &&
           (layout.maxVertical * n) % (component.vertical * size * 2) == 0) {
        size *= 2;
    }
    return size;
}

std::vector<ComponentCoding> codingFor(const ScanLayout& layout, int n, bool& valid) {
    std::vector<ComponentCoding> coding;
    valid = true;
    for (const ScanComponent& component : layout.components) {
        const int safeSize = safeAcSize(component.quantization);
        ComponentCoding entry{HuffmanLookup(layout.dcTables[static_cast<std::size_t>(component.dcTable)], true),
                              HuffmanLookup(layout.acTables[static_cast<std::size_t>(component.acTable)], false, safeSize),
                              component.quantization[0], reducedWeights(component.quantization, n),
                              acLimits(component.quantization), safeSize};
        const int fineSize = libjpegBlockSize(layout, component, n);
        if (fineSize > n) {
            entry.fineSamples = true;
            entry.steps = zigzagSteps(component.quantization);
            entry.fineSize = fineSize;
            entry.fineWeights = reducedWeights(component.quantization, fineSize);
        }
        valid = valid && entry.dc.valid() && entry.ac.valid();
        coding.push_back(std::move(entry));
    }
    return coding;
}

// libjpeg's range limit clamps an inverse transform's level-shifted output only within
// [-384, 639]; farther out it wraps. Sound data stay near [0, 255]. A DC level or a
// sample beyond this narrower range (damaged data alone get there) is declined, so
// that nothing is clamped here that libjpeg would wrap, whatever the small difference
// between the two transforms. A component libjpeg decodes finer keeps its DC level
// within [0, 255] (see kFineAcSum).
struct SampleRange {
    int lowest = -256;
    int highest = 511;
    unsigned outside(int value) const {
        return static_cast<unsigned>(value - lowest) > static_cast<unsigned>(highest - lowest) ? 1u : 0u;
    }
};
constexpr SampleRange kSampleRange{};
constexpr SampleRange kFineLevelRange{-64, 319};

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
    PlaneWriter(const ScanLayout& layout, const std::vector<ComponentCoding>& coding, std::vector<ReducedPlane>& planes)
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
            slots_.push_back({c, static_cast<std::size_t>(slot.down) * N * width_[c] + static_cast<std::size_t>(slot.across) * N,
                              coding[c].fineSamples ? kFineLevelRange : kSampleRange});
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

    // Block `slot` of the current MCU; false when its DC level or a sample lies
    // outside the range kept (the block is written all the same).
    bool write(std::size_t slot, int dc, int dcQuantization, const std::int16_t* acShare) const {
        const Slot& where = slots_[slot];
        const std::size_t c = where.component;
        const std::size_t width = width_[c];
        std::uint8_t* row = base_[c] + mcuY_ * down_[c] + mcuX_ * across_[c] + where.offset;
        const int level = dcLevel(dc, dcQuantization);
        unsigned outside = where.levelRange.outside(level);
        for (int i = 0; i < N; ++i, row += width) {
            for (int j = 0; j < N; ++j) {
                const int value = acShare[i * N + j] + level;
                outside |= kSampleRange.outside(value);
                row[j] = clampSample(value);
            }
        }
        return outside == 0;
    }

private:
    struct Slot {
        std::size_t component;
        std::size_t offset;  // from the MCU's corner in the component's plane
        SampleRange levelRange;
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
    // cancel: the flag that gives the decode up (see decode_cancel.h), checked at each
    // row of MCUs.
    KnownStateDecoder(const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                      const PlaneWriter<N>& writer, std::size_t firstMarker = 0,
                      const std::atomic<bool>* cancel = decodeCancelFlag())
        : layout_(layout), coding_(coding), writer_(writer), firstMarker_(firstMarker), cancel_(cancel) {}

    // Moves past the restart marker that ends interval `index`; false when it is not there.
    bool restart(EntropyBitReader& reader, std::size_t index) {
        if (!reader.passRestart(index, firstMarker_)) return false;
        ++passed_;
        return true;
    }

    // Decodes MCUs [first, end) and leaves `reached` at the first MCU not decoded;
    // stops early, before MCU m, when meet(position, m) says so. False for bad data,
    // including a restart marker read across, and when the decode is cancelled.
    template <class Meet>
    bool decode(EntropyBitReader& reader, std::size_t first, std::size_t end, Meet meet, std::size_t& reached) {
        const unsigned interval = layout_.restartInterval;
        writer_.seek(first);
        for (std::size_t mcu = first; mcu < end; ++mcu, writer_.advance()) {
            if (interval != 0 && mcu > first && mcu % interval == 0) {
                if (!restart(reader, mcu / interval - 1)) return false;
                predictors.fill(0);
            }
            if (mcu % static_cast<std::size_t>(layout_.mcusAcross) == 0 && cancelRaised(cancel_)) return false;
            if (meet(reader.position(), mcu)) {
                reached = mcu;
                return !reader.crossedMarker(passed_);
            }
            bool inRange = true;
            for (std::size_t slot = 0; slot < layout_.mcu.size(); ++slot) {
                const auto component = static_cast<std::size_t>(layout_.mcu[slot].component);
                const ComponentCoding& coding = coding_[component];
                int difference = 0;
                std::int16_t acShare[N * N];
                if (!decodeReducedBlock<N>(reader, coding, difference, acShare)) return false;
                predictors[component] = addDifference(predictors[component], difference);
                inRange &= writer_.write(slot, predictors[component], coding.dcQuantization, acShare);
            }
            if (!inRange || reader.overran()) return false;
        }
        reached = end;
        return !reader.crossedMarker(passed_);
    }

    std::array<int, 4> predictors{};

private:
    const ScanLayout& layout_;
    const std::vector<ComponentCoding>& coding_;
    PlaneWriter<N> writer_;
    std::size_t firstMarker_;
    const std::atomic<bool>* cancel_;
    std::size_t passed_ = 0;  // restart markers passed
};

// The blocks the guessing thread decoded, in fixed chunks: growing never copies them
// and never holds two copies at once.
template <int N>
class GuessedBlocks {
public:
    // A block's record: its AC share (none at N = 1, where the block is its DC term)
    // and its DC difference last.
    static constexpr std::size_t kStride = N == 1 ? 1 : N * N + 1;

    std::int16_t* append() {
        if (count_ % kChunkBlocks == 0) chunks_.push_back(std::make_unique_for_overwrite<std::int16_t[]>(kChunkBlocks * kStride));
        return chunks_.back().get() + (count_++ % kChunkBlocks) * kStride;
    }
    const std::int16_t* at(std::size_t block) const {
        return chunks_[block / kChunkBlocks].get() + (block % kChunkBlocks) * kStride;
    }
    std::size_t count() const { return count_; }

    static int difference(const std::int16_t* record) { return record[kStride - 1]; }
    static const std::int16_t* acShare(const std::int16_t* record) {
        static constexpr std::int16_t kNone[N * N] = {};
        return N == 1 ? kNone : record;
    }

private:
    static constexpr std::size_t kChunkBlocks = 16 * 1024;
    std::vector<std::unique_ptr<std::int16_t[]>> chunks_;
    std::size_t count_ = 0;
};

// Decodes from a guessed state, keeping each block's DC difference and AC share, and
// where its first MCUs began.
template <int N>
class GuessingDecoder {
public:
    // The meeting is looked for among the first kWindow MCUs the guess starts: sound
    // data resynchronise within a few.
    static constexpr std::size_t kWindow = 4096;

    GuessingDecoder(const ScanLayout& layout, const std::vector<ComponentCoding>& coding, std::size_t maxBlocks,
                    const std::atomic<bool>& stop)
        : layout_(layout), coding_(coding), maxBlocks_(maxBlocks), stop_(stop) {}

    // Runs until the data end, `maxBlocks` are kept, a restart marker is read across,
    // a code fails past the window, or `stop` is set.
    void decode(EntropyBitReader& reader) {
        const std::size_t mcuBlocks = layout_.mcu.size();
        while (!reader.overran() && blocks.count() + mcuBlocks <= maxBlocks_ && !stop_.load(std::memory_order_relaxed)) {
            const bool inWindow = points.size() < kWindow;
            if (inWindow) points.push_back({reader.position(), blocks.count()});
            for (const McuSlot& slot : layout_.mcu) {
                int difference = 0;
                std::int16_t acShare[N * N];
                if (!decodeReducedBlock<N>(reader, coding_[static_cast<std::size_t>(slot.component)], difference,
                                           acShare)) {
                    // Past the window no meeting can follow, and the first thread would
                    // meet this failure too: whether enough blocks came before it is
                    // the meeting's count to tell.
                    if (!inWindow) return;
                    failures.push_back(points.size() - 1);
                    reader.refill();
                    reader.skip(1);  // try again one bit on
                    break;
                }
                if (reader.overran() || reader.crossedMarker(0)) return;
                std::int16_t* record = blocks.append();
                if constexpr (N > 1) std::copy(acShare, acShare + N * N, record);
                record[GuessedBlocks<N>::kStride - 1] = static_cast<std::int16_t>(difference);
            }
        }
    }

    GuessedBlocks<N> blocks;
    std::vector<MeetingPoint> points;
    std::vector<std::size_t> failures;  // the points whose MCU failed to decode

private:
    const ScanLayout& layout_;
    const std::vector<ComponentCoding>& coding_;
    std::size_t maxBlocks_;
    const std::atomic<bool>& stop_;
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

// How many bytes [start, end) of the data hold once unstuffed; nullopt when a marker
// stands among them (the scan's data end there, or a restart marker interrupts them).
std::optional<std::uint64_t> unstuffedLength(const Bytes& data, std::size_t start, std::size_t end) {
    std::uint64_t removed = 0;
    const std::uint8_t* at = data.data() + start;
    const std::uint8_t* const stop = data.data() + end;
    while ((at = static_cast<const std::uint8_t*>(std::memchr(at, 0xFF, static_cast<std::size_t>(stop - at)))) !=
           nullptr) {
        if (at + 1 >= stop) break;  // rawSplit() never ends a range on a marker's first byte
        if (at[1] == 0x00) {
            ++removed;  // a stuffed zero
            at += 2;
        } else if (at[1] == 0xFF) {
            ++removed;  // a fill byte before a marker
            at += 1;
        } else {
            return std::nullopt;
        }
    }
    return std::uint64_t{end - start} - removed;
}

// The restart marker nearest `middle` within the entropy-coded data, or nullopt.
std::optional<std::size_t> restartMarkerNear(const Bytes& data, std::size_t start, std::size_t middle) {
    std::optional<std::size_t> after;
    for (const std::uint8_t* at = data.data() + middle;
         (at = static_cast<const std::uint8_t*>(std::memchr(at, 0xFF, static_cast<std::size_t>(data.data() + data.size() - at)))) != nullptr;
         ++at) {
        const auto offset = static_cast<std::size_t>(at - data.data());
        if (isRestartMarker(data, offset)) {
            after = offset;
            break;
        }
    }
    // Looking back no farther than the marker found ahead.
    const std::size_t reach = after ? *after - middle : data.size();
    for (std::size_t at = middle; at > start && middle - at < reach; --at) {
        if (isRestartMarker(data, at - 1)) return at - 1;
    }
    return after;
}

template <int N>
bool decodeAlone(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                 const PlaneWriter<N>& writer) {
    KnownStateDecoder<N> decoder(layout, coding, writer);
    ScanChunks chunks(data, layout.entropyStart);
    EntropyBitReader reader(chunks);
    std::size_t reached = 0;
    return decoder.decode(reader, 0, layout.mcuCount(), noMeeting, reached);
}

// Two threads split at the restart marker nearest the middle.
template <int N>
bool decodeAtRestart(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                     const PlaneWriter<N>& writer) {
    const std::size_t start = layout.entropyStart;
    const std::optional<std::size_t> at = restartMarkerNear(data, start, rawSplit(data, start, 50));
    if (!at) return decodeAlone<N>(data, layout, coding, writer);
    std::size_t marker = 0;  // restart markers before it
    for (const std::uint8_t* mark = data.data() + start;
         (mark = static_cast<const std::uint8_t*>(std::memchr(mark, 0xFF, static_cast<std::size_t>(data.data() + *at - mark)))) != nullptr;
         ++mark) {
        marker += isRestartMarker(data, static_cast<std::size_t>(mark - data.data())) ? 1 : 0;
    }
    const std::size_t split = (marker + 1) * layout.restartInterval;
    if (split >= layout.mcuCount()) return decodeAlone<N>(data, layout, coding, writer);
    bool firstOk = false, secondOk = false;
    const std::atomic<bool>* cancel = decodeCancelFlag();  // this thread's, for both
    runSideBySide(
        [&] {
            KnownStateDecoder<N> decoder(layout, coding, writer);
            ScanChunks chunks(data, start);
            EntropyBitReader reader(chunks);
            std::size_t reached = 0;
            firstOk = decoder.decode(reader, 0, split, noMeeting, reached) && decoder.restart(reader, marker);
        },
        [&] {
            KnownStateDecoder<N> decoder(layout, coding, writer, marker + 1, cancel);
            ScanChunks chunks(data, *at + 2);
            EntropyBitReader reader(chunks);
            std::size_t reached = 0;
            secondOk = decoder.decode(reader, split, layout.mcuCount(), noMeeting, reached);
        });
    if (!firstOk || !secondOk) return false;
    countSplit(true, split * layout.mcu.size(), (layout.mcuCount() - split) * layout.mcu.size());
    return true;
}

// Sets a flag when it goes out of scope, whichever way.
struct RaiseOnExit {
    std::atomic<bool>& flag;
    ~RaiseOnExit() { flag.store(true, std::memory_order_relaxed); }
};

// Two threads, the second starting on a guess in the middle. (The first thread also
// writes its blocks out and finds the meeting point, but the second keeps every block
// it decodes: about the same work.)
template <int N>
bool decodeMeeting(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                   const PlaneWriter<N>& writer) {
    const std::size_t start = layout.entropyStart;
    const std::size_t middle = rawSplit(data, start, 50);
    // The guess's place in the unstuffed data, where the first thread counts its bits.
    const std::optional<std::uint64_t> middleOffset = unstuffedLength(data, start, middle);
    if (!middleOffset) return decodeAlone<N>(data, layout, coding, writer);  // the data end or break before it
    const std::uint64_t middleBit = *middleOffset * 8;
    const std::size_t mcuBlocks = layout.mcu.size();
    const std::size_t totalBlocks = layout.mcuCount() * mcuBlocks;

    // Never more blocks than the picture has, and those the window may hold before the meeting.
    std::atomic<bool> stop{false};
    GuessingDecoder<N> guesser(layout, coding, totalBlocks + GuessingDecoder<N>::kWindow * mcuBlocks, stop);
    std::optional<WorkerThread> second;
    try {
        second.emplace([&] {
            ScanChunks chunks(data, middle, *middleOffset);
            EntropyBitReader reader(chunks);
            guesser.decode(reader);
        });
    } catch (const std::system_error&) {
        return decodeAlone<N>(data, layout, coding, writer);
    }
    RaiseOnExit stopOnExit{stop};  // on every way out, before `second` is waited for
    bool guessed = false;          // the guess has ended, and it can be met
    bool waited = false;
    auto awaitGuess = [&] {
        waited = true;
        try {
            second->join();
            guessed = true;
        } catch (const std::exception&) {
            // Out of memory on the way, say: the first thread decodes everything.
        }
    };
    std::size_t next = 0;
    bool met = false;
    auto meet = [&](std::uint64_t bit, std::size_t) {
        if (bit < middleBit) return false;
        if (!waited) awaitGuess();
        if (!guessed) return false;
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
    stop.store(true, std::memory_order_relaxed);
    if (!waited) awaitGuess();
    if (!ok) return false;
    if (!met) {
        countSplit(false, totalBlocks, 0);
        return true;  // the first thread decoded everything
    }

    // The guessed blocks from the meeting point on are the stream's own.
    const GuessedBlocks<N>& blocks = guesser.blocks;
    const std::size_t meetingBlock = guesser.points[next].block;
    const std::size_t needed = (layout.mcuCount() - reached) * mcuBlocks;
    if (blocks.count() - meetingBlock < needed) return false;  // the data end too soon
    // A failure counts from the meeting point up to the last block of the picture
    // (past it, the guess decodes the padding bits).
    for (std::size_t failure : guesser.failures) {
        if (failure >= next && guesser.points[failure].block < meetingBlock + needed) return false;
    }
    // Written out by both threads: the second half's DC predictors are summed first.
    const std::size_t half = needed / mcuBlocks / 2 * mcuBlocks;
    std::array<int, 4> halfway = decoder.predictors;
    for (std::size_t i = 0; i < half; ++i) {
        const auto component = static_cast<std::size_t>(layout.mcu[i % mcuBlocks].component);
        halfway[component] = addDifference(halfway[component], GuessedBlocks<N>::difference(blocks.at(meetingBlock + i)));
    }
    auto writeOut = [&](std::size_t from, std::size_t to, std::array<int, 4> predictors) {
        PlaneWriter<N> own = writer;
        own.seek(reached + from / mcuBlocks);
        bool inRange = true;
        for (std::size_t i = from, slot = 0; i < to; ++i) {
            const std::int16_t* record = blocks.at(meetingBlock + i);
            const auto component = static_cast<std::size_t>(layout.mcu[slot].component);
            predictors[component] = addDifference(predictors[component], GuessedBlocks<N>::difference(record));
            inRange &= own.write(slot, predictors[component], coding[component].dcQuantization,
                                 GuessedBlocks<N>::acShare(record));
            if (++slot == mcuBlocks) {
                slot = 0;
                own.advance();
            }
        }
        return inRange;
    };
    bool upperOk = false, lowerOk = false;
    runSideBySide([&] { upperOk = writeOut(0, half, decoder.predictors); },
                  [&] { lowerOk = writeOut(half, needed, halfway); });
    if (!upperOk || !lowerOk) return false;
    countSplit(true, reached * mcuBlocks, needed);
    return true;
}

template <int N>
bool decodeWith(const Bytes& data, const ScanLayout& layout, const std::vector<ComponentCoding>& coding,
                bool twoThreads, std::vector<ReducedPlane>& planes) {
    PlaneWriter<N> writer(layout, coding, planes);
    if (!twoThreads) return decodeAlone<N>(data, layout, coding, writer);
    if (layout.restartInterval != 0) return decodeAtRestart<N>(data, layout, coding, writer);
    return decodeMeeting<N>(data, layout, coding, writer);
}

bool decodeAtScale(const Bytes& data, const ScanLayout& layout, int n, bool twoThreads,
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

}  // namespace

bool decodeReducedScan(const Bytes& data, const ScanLayout& layout, int n, bool twoThreads,
                       std::vector<ReducedPlane>& planes) {
    try {
        return decodeAtScale(data, layout, n, twoThreads, planes);
    } catch (const std::exception&) {
        // Out of memory, or no thread to be had: libjpeg's turn.
        planes.clear();
        return false;
    }
}

SplitStatistics splitStatistics() {
    const SplitCounters& counters = splitCounters();
    return {counters.decodes.load(), counters.met.load(), counters.firstBlocks.load(), counters.secondBlocks.load()};
}

}  // namespace velmora
