#include "store/imagefile/bmp_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "base/worker_thread.h"
#include "store/imagefile/bmp_layout.h"
#include "store/imagefile/file_access.h"
#include "base/little_endian.h"

namespace velmora {

namespace {

constexpr char kStreamReadError[] = "Stream read error";
constexpr char kNotValid[] = "Bitmap image is not valid";

constexpr std::uint32_t kCoreHeaderSize = 12;
// Info headers of this length or more carry the three colour masks themselves.
constexpr std::uint32_t kHeaderWithMasksSize = 52;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

[[noreturn]] void raiseNotValid() {
    throw Error(kNotValid);
}

// The file's bytes: in memory, or read from disk where they are needed.
class Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t size() const = 0;
    // Up to count bytes from offset; fewer only where the data end.
    virtual std::size_t copy(std::uint64_t offset, std::uint8_t* into, std::size_t count) = 0;
    // All the bytes at one address (any thread may read them), or null.
    virtual const std::uint8_t* contiguous() const { return nullptr; }
};

class MemorySource : public Source {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::size_t copy(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        if (count == 0 || offset >= size_) {
            return 0;
        }
        const std::size_t n = std::min<std::uint64_t>(count, size_ - offset);
        std::memcpy(into, data_ + offset, n);
        return n;
    }
    const std::uint8_t* contiguous() const override { return data_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

class FileSource : public Source {
public:
    explicit FileSource(InputFile& file) : file_(file) {}
    std::uint64_t size() const override { return file_.size(); }
    std::size_t copy(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
        return file_.readAt(offset, into, count);
    }

private:
    InputFile& file_;
};

// Walks forward through the headers and tables, never past the end of the data.
class Reader {
public:
    explicit Reader(Source& source) : source_(source) {}

    void read(std::uint8_t* into, std::size_t count) {
        if (source_.copy(position_, into, count) != count) {
            throw Error(kStreamReadError);
        }
        position_ += count;
    }
    void skip(std::uint64_t count) {
        if (count > source_.size() - position_) {
            throw Error(kStreamReadError);
        }
        position_ += count;
    }
    std::uint64_t position() const { return position_; }

private:
    Source& source_;
    std::uint64_t position_ = 0;
};

struct Header {
    bool core = false;
    std::uint32_t length = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // number of rows, whichever way they run
    bool topDown = false;
    unsigned planes = 0;
    unsigned bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 3> masks{};  // red, green, blue, when the header holds them
};

Header readHeader(Reader& in) {
    Header header;
    std::uint8_t length[4];
    in.read(length, 4);
    header.length = le::u32(length);
    if (header.length == kCoreHeaderSize) {
        std::uint8_t p[kCoreHeaderSize - 4];
        in.read(p, sizeof p);
        header.core = true;
        header.width = le::u16(p);
        header.height = le::u16(p + 2);
        header.planes = le::u16(p + 4);
        header.bitsPerPixel = le::u16(p + 6);
        return header;
    }
    // A header of any other length is read whole; fields it is too short to hold are 0.
    std::uint8_t fields[kHeaderWithMasksSize] = {};
    if (header.length > 4) {
        const std::uint32_t known = std::min(header.length, kHeaderWithMasksSize) - 4;
        in.read(fields + 4, known);
        in.skip(header.length - 4 - known);
    }
    header.width = le::i32(fields + 4);
    const std::int32_t height = le::i32(fields + 8);
    header.topDown = height < 0;
    header.height = height < 0 ? -static_cast<std::int64_t>(height) : height;
    header.planes = le::u16(fields + 12);
    header.bitsPerPixel = le::u16(fields + 14);
    header.compression = le::u32(fields + 16);
    header.imageSize = le::u32(fields + 20);
    header.coloursUsed = le::u32(fields + 32);
    for (int i = 0; i < 3; ++i) {
        header.masks[i] = le::u32(fields + kBmpInfoHeaderSize + 4 * i);
    }
    return header;
}

bool depthFitsCompression(const Header& header) {
    switch (header.compression) {
    case kRgb: return true;
    case kRle8: return header.bitsPerPixel == 8 && !header.topDown;
    case kRle4: return header.bitsPerPixel == 4 && !header.topDown;
    case kBitfields: return header.bitsPerPixel == 16 || header.bitsPerPixel == 32;
    default: return false;
    }
}

void checkHeader(const Header& header, std::uint64_t maxPixels) {
    const unsigned bpp = header.bitsPerPixel;
    const bool knownDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (header.planes != 1 || !knownDepth || !depthFitsCompression(header)) {
        raiseNotValid();
    }
    // The size is refused before any pixel memory is taken.
    if (header.width <= 0 || header.height == 0 ||
        static_cast<std::uint64_t>(header.width) * static_cast<std::uint64_t>(header.height) > maxPixels) {
        raiseNotValid();
    }
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask),
          shift_(mask ? static_cast<unsigned>(std::countr_zero(mask)) : 0),
          bits_(mask ? static_cast<unsigned>(std::bit_width(mask >> shift_)) : 0) {}

    std::uint8_t operator()(std::uint32_t pixel) const {
        if (bits_ == 0) {
            return 0;
        }
        const std::uint32_t value = (pixel & mask_) >> shift_;
        if (bits_ >= 8) {
            return static_cast<std::uint8_t>(value >> (bits_ - 8));
        }
        const std::uint32_t top = (1u << bits_) - 1;
        return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
    }

private:
    std::uint32_t mask_;
    unsigned shift_;
    unsigned bits_;
};

struct ChannelMasks {
    Channel red;
    Channel green;
    Channel blue;
};

ChannelMasks readMasks(Reader& in, const Header& header) {
    if (header.compression == kBitfields) {
        if (header.length >= kHeaderWithMasksSize) {
            return {Channel(header.masks[0]), Channel(header.masks[1]), Channel(header.masks[2])};
        }
        std::uint8_t p[12];
        in.read(p, sizeof p);
        return {Channel(le::u32(p)), Channel(le::u32(p + 4)), Channel(le::u32(p + 8))};
    }
    if (header.bitsPerPixel == 16) {
        return {Channel(0x7C00), Channel(0x03E0), Channel(0x001F)};
    }
    return {Channel(0xFF0000), Channel(0x00FF00), Channel(0x0000FF)};
}

struct Bgr {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
};

// Every possible pixel index maps to a colour; indices beyond the table are black.
using ColourLookup = std::array<Bgr, 256>;

ColourLookup readColourTable(Reader& in, const Header& header) {
    std::uint64_t count = header.coloursUsed;
    if (count == 0 && header.bitsPerPixel <= 8) {
        count = std::uint64_t{1} << header.bitsPerPixel;
    }
    const std::size_t entrySize = header.core ? 3 : 4;
    // Only 256 entries can be used; the rest of a longer table is passed over.
    const std::size_t used = static_cast<std::size_t>(std::min<std::uint64_t>(count, 256));
    std::uint8_t table[256 * 4];
    in.read(table, used * entrySize);
    in.skip((count - used) * entrySize);
    ColourLookup lookup{};
    if (header.bitsPerPixel <= 8) {
        for (std::size_t i = 0; i < used; ++i) {
            const std::uint8_t* entry = table + i * entrySize;
            lookup[i] = Bgr{entry[0], entry[1], entry[2]};
        }
    }
    return lookup;
}

void putColour(std::uint8_t* out, const Bgr& colour) {
    out[0] = colour.blue;
    out[1] = colour.green;
    out[2] = colour.red;
}

void decodeRow(const std::uint8_t* in, std::size_t pixels, const Header& header, const ColourLookup& colours,
               const ChannelMasks& masks, std::uint8_t* out) {
    switch (header.bitsPerPixel) {
    case 1:
        for (std::size_t x = 0; x < pixels; ++x) {
            putColour(out + 3 * x, colours[(in[x >> 3] >> (7 - (x & 7))) & 1]);
        }
        break;
    case 4:
        for (std::size_t x = 0; x < pixels; ++x) {
            putColour(out + 3 * x, colours[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]);
        }
        break;
    case 8:
        for (std::size_t x = 0; x < pixels; ++x) {
            putColour(out + 3 * x, colours[in[x]]);
        }
        break;
    case 16:
        for (std::size_t x = 0; x < pixels; ++x) {
            const std::uint32_t pixel = le::u16(in + 2 * x);
            putColour(out + 3 * x, Bgr{masks.blue(pixel), masks.green(pixel), masks.red(pixel)});
        }
        break;
    case 32:
        for (std::size_t x = 0; x < pixels; ++x) {
            const std::uint32_t pixel = le::u32(in + 4 * x);
            putColour(out + 3 * x, Bgr{masks.blue(pixel), masks.green(pixel), masks.red(pixel)});
        }
        break;
    }
}

std::uint64_t rowSize(const Header& header) {
    return (static_cast<std::uint64_t>(header.width) * header.bitsPerPixel + 31) / 32 * 4;
}

// Where the pixel data lie in the file.
struct PixelData {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// From this many bytes of 24-bit rows on, two threads share the copy: with the first
// touch of the bitmap's pages it is most of the time a large file takes to read.
constexpr std::uint64_t kTwoThreadCopyBytes = 8u << 20;

// Copies `rows` whole 24-bit rows from memory into the bitmap, clearing their padding.
void copyWholeRows(const std::uint8_t* data, std::uint64_t stride, std::int64_t rows, const Header& header,
                   Bitmap& bitmap) {
    const std::size_t used = 3 * static_cast<std::size_t>(header.width);
    const std::size_t padding = bitmap.bytesPerLine() - used;
    auto copyRows = [&](std::int64_t from, std::int64_t to) {
        for (std::int64_t r = from; r < to; ++r) {
            const int y = static_cast<int>(header.topDown ? r : header.height - 1 - r);
            std::uint8_t* out = bitmap.scanLine(y);
            std::memcpy(out, data + static_cast<std::uint64_t>(r) * stride, used);
            std::memset(out + used, 0, padding);
        }
    };
    if (stride * static_cast<std::uint64_t>(rows) < kTwoThreadCopyBytes) {
        copyRows(0, rows);
        return;
    }
    runSideBySide([&] { copyRows(0, rows / 2); }, [&] { copyRows(rows / 2, rows); });
}

// Rows as far as the data go; a row cut short keeps its whole pixels. 24-bit rows
// have the bitmap's own layout and go straight into it.
void decodeUncompressed(Source& source, PixelData data, const Header& header, const ColourLookup& colours,
                        const ChannelMasks& masks, Bitmap& bitmap) {
    const std::uint64_t stride = rowSize(header);
    const bool direct = header.bitsPerPixel == 24;
    std::vector<std::uint8_t> row(direct ? 0 : static_cast<std::size_t>(stride));
    std::int64_t r = 0;
    if (direct && source.contiguous()) {
        r = std::min<std::int64_t>(header.height, static_cast<std::int64_t>(data.size / stride));
        copyWholeRows(source.contiguous() + data.offset, stride, r, header, bitmap);
    }
    for (; r < header.height; ++r) {
        const std::uint64_t begin = static_cast<std::uint64_t>(r) * stride;
        if (begin >= data.size) {
            break;
        }
        const auto wanted = static_cast<std::size_t>(std::min(stride, data.size - begin));
        const int y = static_cast<int>(header.topDown ? r : header.height - 1 - r);
        std::uint8_t* out = bitmap.scanLine(y);
        const std::size_t got = source.copy(data.offset + begin, direct ? out : row.data(), wanted);
        const std::size_t pixels = static_cast<std::size_t>(
            std::min<std::uint64_t>(static_cast<std::uint64_t>(header.width), got * 8 / header.bitsPerPixel));
        if (direct) {
            // A part pixel at the cut and the row's padding stay zero.
            std::memset(out + 3 * pixels, 0, bitmap.bytesPerLine() - 3 * pixels);
        } else {
            decodeRow(row.data(), pixels, header, colours, masks, out);
        }
        if (got < wanted) {
            ++r;
            break;
        }
    }
    // Rows the data never reached stay black.
    for (; r < header.height; ++r) {
        const int y = static_cast<int>(header.topDown ? r : header.height - 1 - r);
        std::memset(bitmap.scanLine(y), 0, bitmap.bytesPerLine());
    }
}

// RLE8 and RLE4, bottom-up. Damaged data end the picture where they go wrong: runs and
// moves past the right edge are clipped, and what is never reached stays black.
void decodeRunLength(const std::uint8_t* data, std::uint64_t size, const Header& header,
                     const ColourLookup& colours, Bitmap& bitmap) {
    const bool nibbles = header.compression == kRle4;
    std::int64_t x = 0;
    std::int64_t row = 0;
    auto put = [&](unsigned index) {
        if (x < header.width) {
            const int y = static_cast<int>(header.height - 1 - row);
            putColour(bitmap.scanLine(y) + 3 * x, colours[index]);
        }
        ++x;
    };
    auto indexAt = [&](const std::uint8_t* bytes, unsigned i) -> unsigned {
        return nibbles ? (bytes[i / 2] >> ((i & 1) ? 0 : 4)) & 0x0F : bytes[i];
    };
    std::uint64_t at = 0;
    while (at + 2 <= size && row < header.height) {
        const unsigned count = data[at];
        const unsigned code = data[at + 1];
        at += 2;
        if (count > 0) {
            // An encoded run: count pixels of one index, or of two alternating nibbles.
            for (unsigned i = 0; i < count && x < header.width; ++i) {
                put(nibbles ? ((i & 1) ? code & 0x0F : code >> 4) : code);
            }
        } else if (code == 0) {
            x = 0;
            ++row;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (at + 2 > size) {
                return;
            }
            x += data[at];
            row += data[at + 1];
            at += 2;
        } else {
            // Absolute mode: `code` literal pixels, padded to a 16-bit boundary.
            const std::uint64_t bytes = nibbles ? (code + 1) / 2 : code;
            if (at + bytes > size) {
                return;
            }
            for (unsigned i = 0; i < code && x < header.width; ++i) {
                put(indexAt(data + at, i));
            }
            at += (bytes + 1) & ~std::uint64_t{1};
        }
    }
}

// Up to this many bytes of bitmap are made whatever the data hold, as Qt's decoders
// allow for the other formats (QImageReader's default allocation limit).
constexpr std::uint64_t kUnbackedBitmapBudget = 256u << 20;

// A larger bitmap is made only when the data can fill it: uncompressed, every row's
// pixel bytes are there (the last row's padding may be missing); run-length encoded,
// the codes can write every pixel. Each code takes at least 2 bytes and writes at
// most 255 pixels (a run; a literal writes fewer per byte, a move or end of line
// none), so size / 2 * 255 bounds what the data can write. Otherwise a header of a
// few bytes could claim hundreds of megabytes of pixels it never holds.
void checkDataCanFill(const Header& header, const PixelData& data, bool runLength) {
    const auto width = static_cast<std::uint64_t>(header.width);
    const auto height = static_cast<std::uint64_t>(header.height);
    const std::uint64_t bitmapBytes = (3 * width + 3) / 4 * 4 * height;
    if (bitmapBytes <= kUnbackedBitmapBudget) {
        return;
    }
    const std::uint64_t fillable = runLength ? data.size / 2 * 255
                                             : (data.size + rowSize(header) - (width * header.bitsPerPixel + 7) / 8) /
                                                   rowSize(header) * width;
    if (fillable < width * height) {
        raiseNotValid();
    }
}

Bitmap readFromSource(Source& source, std::uint64_t maxPixels) {
    if (source.size() == 0) {
        return Bitmap();
    }
    Reader in(source);
    std::uint8_t fileHeader[kBmpFileHeaderSize];
    in.read(fileHeader, sizeof fileHeader);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        raiseNotValid();
    }
    const std::uint32_t pixelOffset = le::u32(fileHeader + 10);
    const Header header = readHeader(in);
    checkHeader(header, maxPixels);
    const ChannelMasks masks = readMasks(in, header);
    const ColourLookup colours = readColourTable(in, header);

    // Pixels follow the colour table, unless the file header points further on inside
    // the file: some writers leave a gap, and reading the gap as pixels shifts the picture.
    PixelData data{in.position(), 0};
    if (pixelOffset > data.offset && pixelOffset <= source.size()) {
        data.offset = pixelOffset;
    }
    const std::uint64_t claimed =
        header.imageSize != 0 ? header.imageSize : rowSize(header) * static_cast<std::uint64_t>(header.height);
    data.size = std::min(claimed, source.size() - data.offset);

    const bool runLength = header.compression == kRle8 || header.compression == kRle4;
    checkDataCanFill(header, data, runLength);
    // Uncompressed 24-bit rows are written whole by the reader (read with their padding
    // cleared, or blacked out), so their buffer needs no zero-fill first.
    const bool writesEveryByte = !runLength && header.bitsPerPixel == 24;
    Bitmap bitmap(static_cast<int>(header.width), static_cast<int>(header.height), Bitmap::Format::Bgr24,
                  writesEveryByte ? Bitmap::Fill::Unset : Bitmap::Fill::Black);
    if (runLength) {
        std::vector<std::uint8_t> encoded(static_cast<std::size_t>(data.size));
        encoded.resize(source.copy(data.offset, encoded.data(), encoded.size()));
        decodeRunLength(encoded.data(), encoded.size(), header, colours, bitmap);
    } else {
        decodeUncompressed(source, data, header, colours, masks, bitmap);
    }
    return bitmap;
}

}  // namespace

Bitmap readBmp(const Bytes& file, std::uint64_t maxPixels) {
    MemorySource source(file.data(), file.size());
    return readFromSource(source, maxPixels);
}

Bitmap readBmpFile(const std::string& path, std::uint64_t maxPixels) {
    InputFile file(path);
    const MappedFile mapped(file);
    if (mapped.data()) {
        MemorySource source(mapped.data(), mapped.size());
        Bitmap bitmap = readFromSource(source, maxPixels);
        // Shortened by another program while it was read: what it held is gone.
        if (!mapped.intact()) throw Error(kStreamReadError);
        return bitmap;
    }
    FileSource source(file);
    return readFromSource(source, maxPixels);
}

}  // namespace velmora
