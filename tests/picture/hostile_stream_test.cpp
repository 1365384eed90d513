// Streams made as an attacker would make them, against the display decoder: each
// one gives libjpeg's picture or is declined, alone or split; and the worst of them
// decodes within a memory limit instead of ending the process.

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <fstream>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "base/worker_thread.h"
#include "tests/picture/jpeg_samples.h"
#include "tests/picture/libjpeg_oracle.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

struct Sampling {
    int horizontal = 1;
    int vertical = 1;
};

// A baseline stream of exactly the DCT coefficients `coefficient(component, blockX,
// blockY, k)` gives (k in natural order), every quantization step `step`, and Huffman
// tables made for the values.
Bytes coefficientStream(int width, int height, std::vector<Sampling> sampling, unsigned step,
                        const std::function<JCOEF(int, int, int, int)>& coefficient) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = static_cast<int>(sampling.size());
    cinfo.in_color_space = sampling.size() == 1 ? JCS_GRAYSCALE : JCS_YCbCr;
    jpeg_set_defaults(&cinfo);
    const std::vector<unsigned> steps(DCTSIZE2, step);
    jpeg_add_quant_table(&cinfo, 0, steps.data(), 100, TRUE);
    jpeg_add_quant_table(&cinfo, 1, steps.data(), 100, TRUE);
    cinfo.optimize_coding = TRUE;
    int maxH = 1, maxV = 1;
    for (std::size_t c = 0; c < sampling.size(); ++c) {
        cinfo.comp_info[c].h_samp_factor = sampling[c].horizontal;
        cinfo.comp_info[c].v_samp_factor = sampling[c].vertical;
        maxH = std::max(maxH, sampling[c].horizontal);
        maxV = std::max(maxV, sampling[c].vertical);
    }
    std::vector<jvirt_barray_ptr> arrays(sampling.size());
    for (std::size_t c = 0; c < sampling.size(); ++c) {
        const auto across = static_cast<JDIMENSION>((width * sampling[c].horizontal + 8 * maxH - 1) / (8 * maxH));
        const auto down = static_cast<JDIMENSION>((height * sampling[c].vertical + 8 * maxV - 1) / (8 * maxV));
        arrays[c] = cinfo.mem->request_virt_barray(
            reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, TRUE,
            (across + sampling[c].horizontal - 1) / sampling[c].horizontal * sampling[c].horizontal,
            (down + sampling[c].vertical - 1) / sampling[c].vertical * sampling[c].vertical,
            static_cast<JDIMENSION>(sampling[c].vertical));
    }
    jpeg_write_coefficients(&cinfo, arrays.data());
    for (std::size_t c = 0; c < sampling.size(); ++c) {
        const jpeg_component_info& info = cinfo.comp_info[c];
        const JDIMENSION rows = (info.height_in_blocks + info.v_samp_factor - 1) / info.v_samp_factor * info.v_samp_factor;
        const JDIMENSION columns = (info.width_in_blocks + info.h_samp_factor - 1) / info.h_samp_factor * info.h_samp_factor;
        for (JDIMENSION y = 0; y < rows; ++y) {
            JBLOCKARRAY row = cinfo.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&cinfo), arrays[c], y, 1, TRUE);
            for (JDIMENSION x = 0; x < columns; ++x) {
                for (int k = 0; k < DCTSIZE2; ++k) {
                    row[0][x][k] = coefficient(static_cast<int>(c), static_cast<int>(x), static_cast<int>(y), k);
                }
            }
        }
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes stream(buffer, buffer + size);
    std::free(buffer);
    return stream;
}

Bytes greyPhoto(int width, int height, unsigned restartInterval = 0) {
    const Bitmap picture = tools::syntheticBitmap(width, height, 2);
    LibjpegCompressor compressor(width, height, 1, JCS_GRAYSCALE);
    jpeg_set_defaults(&compressor.cinfo);
    jpeg_set_quality(&compressor.cinfo, 90, TRUE);
    compressor.cinfo.restart_interval = restartInterval;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    return compressor.finish([&](int y) {
        for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = picture.scanLine(y)[3 * x + 1];
        return static_cast<const std::uint8_t*>(row.data());
    });
}

// `inserted` placed just before the end-of-image marker.
Bytes beforeEnd(Bytes stream, const Bytes& inserted) {
    stream.insert(stream.end() - 2, inserted.begin(), inserted.end());
    return stream;
}

// `inserted` placed in the entropy-coded data at `share` of the way, off any 0xFF.
Bytes intoScan(Bytes stream, double share, const Bytes& inserted) {
    const std::size_t start = startOfScan(stream) + 2;
    auto at = start + static_cast<std::size_t>(static_cast<double>(stream.size() - start) * share);
    while (stream[at - 1] == 0xFF || stream[at] == 0xFF) ++at;
    stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
    return stream;
}

// The stream with the first component's sampling factors in its frame header set to `factors`.
Bytes withLumaSampling(Bytes stream, std::uint8_t factors) {
    stream[markerOffset(stream, 0xC0) + 11] = factors;
    return stream;
}

// A smooth colour picture in coefficients: a gentle ramp of DC levels, some AC.
JCOEF photoCoefficient(int component, int x, int y, int k) {
    if (k == 0) return static_cast<JCOEF>((x * 7 + y * 5 + component * 40) % 400 - 200);
    return static_cast<JCOEF>(k < 6 ? (x + y + k) % 9 - 4 : 0);
}


TEST(HostileStreams, EachGivesLibjpegsPictureOrIsDeclined) {
    struct Case {
        std::string name;
        Bytes stream;
        unsigned takenAt;  // the reductions at which the display decoder keeps its speed on it
    };
    const unsigned always = 2 | 4 | 8, never = 0;
    const Bytes grey = greyPhoto(1024, 768);
    const Bytes restarting = greyPhoto(1024, 768, 1);
    const Bytes colour = coefficientStream(512, 384, {{2, 2}, {1, 1}, {1, 1}}, 1, photoCoefficient);
    const std::vector<Case> cases = {
        {"a long filler tail after the last block", beforeEnd(grey, Bytes(4 << 20, 0x00)), always},
        {"a filler tail of stuffed 0xFF bytes", beforeEnd(grey, [] {
             Bytes stuffed;
             for (int i = 0; i < (1 << 20); ++i) stuffed.insert(stuffed.end(), {0xFF, 0x00});
             return stuffed;
         }()), always},
        {"a restart marker in a stream without restart intervals", intoScan(grey, 0.3, {0xFF, 0xD3}), never},
        {"a stray marker past the middle", intoScan(grey, 0.7, {0xFF, 0xD0}), never},
        {"a marker after the last block with an interval of 1",
         beforeEnd(restarting, {0xFF, static_cast<std::uint8_t>(0xD0 + (128 * 96 - 1) % 8)}), always},
        {"eleven blocks to an MCU", withLumaSampling(colour, 0x33), never},
        {"sampling 3:2", coefficientStream(480, 64, {{3, 1}, {2, 1}, {2, 1}}, 1, photoCoefficient), never},
        // DC differences stay within what a stream can code; the sums climb to 30000.
        {"DC values past libjpeg's range limit", coefficientStream(256, 64, {{1, 1}}, 1, [](int, int x, int, int k) {
             return JCOEF(k == 0 ? std::min(x, 31 - x) * 2000 : 0);
         }), never},
        {"AC values past libjpeg's range limit", coefficientStream(256, 64, {{1, 1}}, 40, [](int, int x, int, int k) {
             return JCOEF(k == 1 && x % 3 == 0 ? 1000 : 0);
         }), 8},  // at 1/8 the AC terms do not count
        {"a strip 65500 wide", greyPhoto(65500, 16), always},
        {"a strip 65500 tall", greyPhoto(16, 65500), always},
        {"smooth colour from coefficients", colour, always},
    };
    for (const Case& c : cases) {
        for (unsigned denominator : {2u, 4u, 8u}) {
            for (const ReducedDecodeOptions& options : {kAlone, kSplit}) {
                SCOPED_TRACE(c.name + " at 1/" + std::to_string(denominator) + (options.twoThreads ? ", split" : ", alone"));
                const OracleVerdict verdict = compareWithLibjpeg(c.stream, denominator, options);
                EXPECT_EQ(verdict.fault, "");
                EXPECT_EQ(verdict.took, (c.takenAt & denominator) != 0);
            }
        }
    }
}

TEST(HostileStreams, AWorkersErrorReachesTheThreadThatWaitsForIt) {
    // As an allocation failing on the second thread would: raised by the join, never
    // std::terminate; and the first thread's own error first.
    bool ownRan = false;
    EXPECT_THROW(runSideBySide([&] { ownRan = true; }, [] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_TRUE(ownRan);
    EXPECT_THROW(runSideBySide([] { throw JpegError(54); }, [] { throw std::bad_alloc(); }), JpegError);
}

// An address-space limit needs fork and setrlimit, and no sanitizer reserving its shadow.
#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
std::uint64_t addressSpaceBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    }
    return 0;
}

TEST(HostileStreams, AThirtyTwoMegabyteTailDecodesWithinAMemoryLimit) {
    // A 2048 x 2048 grey picture whose scan runs on for 32 MB past its last block: split,
    // it must still give libjpeg's picture, within what libjpeg itself needs and then
    // some, in a child whose address space is capped (an escaping std::bad_alloc would
    // end it in std::terminate).
    const Bytes stream = beforeEnd(greyPhoto(2048, 2048), Bytes(32 << 20, 0x00));
    const std::uint64_t limit = addressSpaceBytes() + (256u << 20);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_AS, &cap);
        int code = 3;
        try {
            const OracleVerdict verdict = compareWithLibjpeg(stream, 2, kSplit);
            code = verdict.fault.empty() && verdict.took ? 0 : 1;
        } catch (...) {
            code = 2;
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
}  // namespace velmora::test
