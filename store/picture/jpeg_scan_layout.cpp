#include "store/picture/jpeg_scan_layout.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "store/picture/jpeg_error_trap.h"

namespace velmora {
namespace {

HuffmanTable tableFrom(const JHUFF_TBL& source) {
    HuffmanTable table;
    for (int i = 0; i < 17; ++i) table.bits[static_cast<std::size_t>(i)] = source.bits[i];
    for (int i = 0; i < 256; ++i) table.values[static_cast<std::size_t>(i)] = source.huffval[i];
    return table;
}

int ceilDiv(long long a, long long b) {
    return static_cast<int>((a + b - 1) / b);
}

// Fills `layout` from a header libjpeg has read up to the first scan; false when the
// stream is not one this layout describes.
bool describe(const jpeg_decompress_struct& cinfo, const Bytes& data, ScanLayout& layout) {
    if (cinfo.progressive_mode || cinfo.arith_code || cinfo.data_precision != 8) return false;
    const bool gray = cinfo.num_components == 1 && cinfo.jpeg_color_space == JCS_GRAYSCALE;
    const bool ycc = cinfo.num_components == 3 && cinfo.jpeg_color_space == JCS_YCbCr;
    if (!(gray || ycc) || cinfo.comps_in_scan != cinfo.num_components) return false;
    if (cinfo.Ss != 0 || cinfo.Se != 63 || cinfo.Ah != 0 || cinfo.Al != 0) return false;
    layout.width = static_cast<int>(cinfo.image_width);
    layout.height = static_cast<int>(cinfo.image_height);
    layout.maxHorizontal = cinfo.max_h_samp_factor;
    layout.maxVertical = cinfo.max_v_samp_factor;
    layout.restartInterval = cinfo.restart_interval;
    const bool interleaved = cinfo.comps_in_scan > 1;
    layout.mcusAcross = interleaved ? ceilDiv(layout.width, 8LL * layout.maxHorizontal) : 0;
    layout.mcusDown = interleaved ? ceilDiv(layout.height, 8LL * layout.maxVertical) : 0;
    for (int i = 0; i < cinfo.comps_in_scan; ++i) {
        const jpeg_component_info& info = *cinfo.cur_comp_info[i];
        // The headers only name the tables; libjpeg checks the numbers when it starts decoding.
        const auto inRange = [](int number, int count) { return number >= 0 && number < count; };
        if (!inRange(info.quant_tbl_no, NUM_QUANT_TBLS) || !inRange(info.dc_tbl_no, NUM_HUFF_TBLS) ||
            !inRange(info.ac_tbl_no, NUM_HUFF_TBLS)) {
            return false;
        }
        const JQUANT_TBL* quant = cinfo.quant_tbl_ptrs[info.quant_tbl_no];
        const JHUFF_TBL* dc = cinfo.dc_huff_tbl_ptrs[info.dc_tbl_no];
        const JHUFF_TBL* ac = cinfo.ac_huff_tbl_ptrs[info.ac_tbl_no];
        if (quant == nullptr || dc == nullptr || ac == nullptr) return false;
        ScanComponent component;
        component.horizontal = info.h_samp_factor;
        component.vertical = info.v_samp_factor;
        for (int k = 0; k < 64; ++k) {
            // libjpeg's reduced transforms multiply in 16 signed bits: larger steps (a
            // 16-bit table's) turn negative there.
            if (quant->quantval[k] > 32767) return false;
            component.quantization[static_cast<std::size_t>(k)] = quant->quantval[k];
        }
        component.dcTable = static_cast<int>(layout.dcTables.size());
        component.acTable = static_cast<int>(layout.acTables.size());
        layout.dcTables.push_back(tableFrom(*dc));
        layout.acTables.push_back(tableFrom(*ac));
        if (interleaved) {
            component.blocksAcross = layout.mcusAcross * component.horizontal;
            component.blocksDown = layout.mcusDown * component.vertical;
            for (int down = 0; down < component.vertical; ++down) {
                for (int across = 0; across < component.horizontal; ++across) layout.mcu.push_back({i, across, down});
            }
        } else {
            // A lone component's scan covers only its own blocks, one per MCU.
            component.blocksAcross = ceilDiv(ceilDiv(1LL * layout.width * component.horizontal, layout.maxHorizontal), 8);
            component.blocksDown = ceilDiv(ceilDiv(1LL * layout.height * component.vertical, layout.maxVertical), 8);
            layout.mcusAcross = component.blocksAcross;
            layout.mcusDown = component.blocksDown;
            layout.mcu.push_back({0, 0, 0});
        }
        layout.components.push_back(component);
    }
    layout.entropyStart = static_cast<std::size_t>(cinfo.src->next_input_byte - data.data());
    return layout.mcuCount() > 0;
}

struct HeaderReader {
    JpegErrorTrap trap;
    jpeg_decompress_struct cinfo{};
    HeaderReader() {
        cinfo.err = installErrorTrap(trap);
        jpeg_create_decompress(&cinfo);
    }
    ~HeaderReader() { jpeg_destroy_decompress(&cinfo); }
    HeaderReader(const HeaderReader&) = delete;
    HeaderReader& operator=(const HeaderReader&) = delete;
};

// Under the trap's setjmp: no object with a destructor lives across the libjpeg calls.
// Decoding is started too (at 1/8, where it allocates least): libjpeg refuses some
// streams only then (more blocks to an MCU than it holds, sampling factors that do
// not divide the largest, ...), and those it must go on refusing.
bool readInto(HeaderReader& reader, const Bytes& data, ScanLayout& layout) {
    if (setjmp(reader.trap.jump)) return false;
    jpeg_mem_src(&reader.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&reader.cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (!describe(reader.cinfo, data, layout)) return false;
    reader.cinfo.scale_num = 1;
    reader.cinfo.scale_denom = 8;
    return jpeg_start_decompress(&reader.cinfo) == TRUE;
}

// True when the scan's entropy-coded data (restart markers among them) run up to the
// end-of-image marker or to the end of the data. libjpeg reads the markers after the
// scan when it finishes, and refuses some there (another SOI, SOF or SOS, a damaged
// table): a stream with anything after its scan is left to it.
bool scanEndsTheImage(const Bytes& data, std::size_t start) {
    const std::uint8_t* at = data.data() + start;
    const std::uint8_t* const end = data.data() + data.size();
    while ((at = static_cast<const std::uint8_t*>(std::memchr(at, 0xFF, static_cast<std::size_t>(end - at)))) != nullptr) {
        if (at + 1 == end) return true;
        const std::uint8_t code = at[1];
        if (code == 0xD9) return true;
        if (code != 0x00 && code != 0xFF && (code & 0xF8) != 0xD0) return false;
        at += code == 0xFF ? 1 : 2;
    }
    return true;
}

}  // namespace

std::optional<ScanLayout> readBaselineLayout(const Bytes& data) {
    if (data.empty()) return std::nullopt;
    HeaderReader reader;
    ScanLayout layout;
    if (!readInto(reader, data, layout) || reader.cinfo.err->num_warnings != 0) return std::nullopt;
    if (!scanEndsTheImage(data, layout.entropyStart)) return std::nullopt;
    return layout;
}

}  // namespace velmora
