#include "win32_window/wic_image_decoder.h"

#include <wincodec.h>

#include "base/error.h"
#include "store/picture/picture_limits.h"
#include "win32_window/com_reference.h"

namespace velmora::win32 {

namespace {

// COM for WIC, once per thread; a thread that has it already in another mode is fine.
void initialiseCom() {
    thread_local const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)initialised;
}

// Straight alpha over white, row by row into 24 bits.
void blendOverWhite(const std::vector<BYTE>& bgra, Bitmap& bitmap) {
    const int width = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        const BYTE* from = bgra.data() + static_cast<std::size_t>(y) * width * 4;
        std::uint8_t* to = bitmap.scanLine(y);
        for (int x = 0; x < width; ++x, from += 4, to += 3) {
            const unsigned alpha = from[3];
            for (int c = 0; c < 3; ++c) to[c] = static_cast<std::uint8_t>((from[c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
}

}  // namespace

std::optional<Bitmap> decodeWithWic(const Bytes& file) {
    if (file.empty() || file.size() > MAXDWORD) return std::nullopt;
    initialiseCom();
    ComReference<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.out()))))
        return std::nullopt;
    ComReference<IWICStream> stream;
    ComReference<IWICBitmapDecoder> decoder;
    ComReference<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    // The content decides the codec: a PNG saved under .gif still reads as the PNG it is.
    if (FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.pointer, nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) || FAILED(frame->GetSize(&width, &height)))
        return std::nullopt;
    // Refused before anything the size of the picture is allocated.
    if (width == 0 || height == 0 || std::uint64_t{width} * height > kMaxBitmapPixels) return std::nullopt;
    ComReference<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.pointer, converted.out())))
        return std::nullopt;
    std::vector<BYTE> bgra(std::size_t{width} * height * 4);
    const UINT stride = width * 4;
    if (FAILED(converted->CopyPixels(nullptr, stride, static_cast<UINT>(bgra.size()), bgra.data())))
        return std::nullopt;
    Bitmap bitmap(static_cast<int>(width), static_cast<int>(height), Bitmap::Format::Bgr24, Bitmap::Fill::Unset);
    blendOverWhite(bgra, bitmap);
    return bitmap;
}

Bitmap WicImageDecoder::decode(const Bytes& file, const std::string& extension) const {
    std::optional<Bitmap> bitmap = decodeWithWic(file);
    if (!bitmap) throw Error(invalidImageText(extension));
    return std::move(*bitmap);
}

}  // namespace velmora::win32
