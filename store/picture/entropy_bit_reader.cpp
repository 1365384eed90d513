#include "store/picture/entropy_bit_reader.h"

#include <cstring>

namespace velmora {

UnstuffedScan unstuffScan(const Bytes& data, std::size_t start) {
    UnstuffedScan scan;
    scan.bytes.resize(data.size() - start + UnstuffedScan::kPadding);
    std::uint8_t* out = scan.bytes.data();
    const std::uint8_t* in = data.data() + start;
    const std::uint8_t* const end = data.data() + data.size();
    while (in < end) {
        const auto* mark = static_cast<const std::uint8_t*>(std::memchr(in, 0xFF, static_cast<std::size_t>(end - in)));
        const std::uint8_t* runEnd = mark != nullptr ? mark : end;
        std::memcpy(out, in, static_cast<std::size_t>(runEnd - in));
        out += runEnd - in;
        if (mark == nullptr || mark + 1 >= end) break;
        const std::uint8_t code = mark[1];
        if (code == 0x00) {
            *out++ = 0xFF;
            in = mark + 2;
        } else if ((code & 0xF8) == 0xD0) {
            scan.restarts.push_back({static_cast<std::size_t>(out - scan.bytes.data()), code});
            in = mark + 2;
        } else if (code == 0xFF) {
            in = mark + 1;  // a fill byte before a marker
        } else {
            break;
        }
    }
    scan.size = static_cast<std::size_t>(out - scan.bytes.data());
    std::memset(out, 0, UnstuffedScan::kPadding);
    return scan;
}

}  // namespace velmora
