#include "platform/root_background_x11.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include "platform/bmp_pixels.h"
#include "platform/picture_fit.h"
#include "platform/xcb_reply.h"

namespace velmora::platform {
namespace {

// How the root window's depth lays out a pixel in a ZPixmap image.
struct PixelLayout {
    int bitsPerPixel = 0;
    int scanlinePad = 0;
    bool mostSignificantFirst = false;
    std::uint32_t masks[3] = {};  // red, green, blue
};

std::optional<PixelLayout> rootLayout(const xcb_setup_t* setup, const xcb_screen_t* screen) {
    PixelLayout layout;
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem; xcb_format_next(&format)) {
        if (format.data->depth != screen->root_depth) continue;
        layout.bitsPerPixel = format.data->bits_per_pixel;
        layout.scanlinePad = format.data->scanline_pad;
    }
    layout.mostSignificantFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem; xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem; xcb_visualtype_next(&visual)) {
            const xcb_visualtype_t* type = visual.data;
            if (type->visual_id != screen->root_visual) continue;
            if (type->_class != XCB_VISUAL_CLASS_TRUE_COLOR && type->_class != XCB_VISUAL_CLASS_DIRECT_COLOR)
                return std::nullopt;
            layout.masks[0] = type->red_mask;
            layout.masks[1] = type->green_mask;
            layout.masks[2] = type->blue_mask;
        }
    }
    bool usable = (layout.bitsPerPixel == 16 || layout.bitsPerPixel == 24 || layout.bitsPerPixel == 32) &&
                  layout.scanlinePad % 8 == 0 && layout.masks[0] && layout.masks[1] && layout.masks[2];
    return usable ? std::optional<PixelLayout>(layout) : std::nullopt;
}

std::uint32_t pixelValue(std::uint32_t rgb, const PixelLayout& layout) {
    std::uint32_t value = 0;
    for (int channel = 0; channel < 3; ++channel) {
        std::uint32_t mask = layout.masks[channel];
        std::uint32_t level = rgb >> (16 - 8 * channel) & 0xFF;
        int bits = std::popcount(mask);
        level = bits <= 8 ? level >> (8 - bits) : level << (bits - 8);
        value |= level << std::countr_zero(mask) & mask;
    }
    return value;
}

// Bytes from one row of a pixmap image to the next.
std::size_t transferStride(int width, const PixelLayout& layout) {
    const std::size_t padBytes = static_cast<std::size_t>(layout.scanlinePad) / 8;
    return (static_cast<std::size_t>(width) * layout.bitsPerPixel / 8 + padBytes - 1) / padBytes * padBytes;
}

// Whether the server reads the canvas's own 0x00RRGGBB words as they are (a 24-bit
// true-colour screen in the host's byte order: Xorg and Xvfb on x86 and ARM).
bool takesCanvasWords(const PixelLayout& layout) {
    const bool hostMostSignificantFirst = std::endian::native == std::endian::big;
    return layout.bitsPerPixel == 32 && layout.masks[0] == 0xFF0000 && layout.masks[1] == 0xFF00 &&
           layout.masks[2] == 0xFF && layout.mostSignificantFirst == hostMostSignificantFirst;
}

// The canvas's pixels in the server's layout, row after row `stride` bytes apart.
void convertRows(const RgbPixels& canvas, std::uint8_t* bytes, std::size_t stride, const PixelLayout& layout) {
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    for (int y = 0; y < canvas.height; ++y) {
        std::uint8_t* out = bytes + stride * y;
        for (int x = 0; x < canvas.width; ++x, out += bytesPerPixel) {
            std::uint32_t value = pixelValue(canvas.at(x, y), layout);
            for (int i = 0; i < bytesPerPixel; ++i) {
                int shift = 8 * (layout.mostSignificantFirst ? bytesPerPixel - 1 - i : i);
                out[i] = static_cast<std::uint8_t>(value >> shift);
            }
        }
    }
}

// Whether the connection is a local socket, over which a shared memory segment can be
// handed to the server (over TCP, passing its descriptor would end the connection).
bool localConnection(xcb_connection_t* connection) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    return ::getsockname(xcb_get_file_descriptor(connection), reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           address.ss_family == AF_UNIX;
}

// The bytes the server takes the picture from: memory shared with it (MIT-SHM 1.2,
// handed over as a descriptor) where it has the extension, else this process's own,
// sent in requests.
class TransferBuffer {
public:
    TransferBuffer(xcb_connection_t* connection, std::size_t size) : connection_(connection), size_(size) {
        if (!attachShared()) {
            local_.assign(size, 0);
            bytes_ = local_.data();
        }
    }
    ~TransferBuffer() {
        if (segment_ == 0) return;
        xcb_shm_detach(connection_, segment_);
        ::munmap(bytes_, size_);
    }
    TransferBuffer(const TransferBuffer&) = delete;
    TransferBuffer& operator=(const TransferBuffer&) = delete;

    std::uint8_t* bytes() const { return bytes_; }
    // The shared segment; 0 when the bytes go in requests.
    xcb_shm_seg_t segment() const { return segment_; }

private:
    bool attachShared() {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_shm_id);
        if (!extension || !extension->present || !localConnection(connection_)) return false;
        auto version = reply(xcb_shm_query_version_reply(connection_, xcb_shm_query_version(connection_), nullptr));
        if (!version || (version->major_version == 1 && version->minor_version < 2)) return false;
        int fd = ::memfd_create("velmora-wallpaper", MFD_CLOEXEC);
        if (fd < 0) return false;
        void* memory = ::ftruncate(fd, static_cast<off_t>(size_)) == 0
                           ? ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                           : MAP_FAILED;
        if (memory == MAP_FAILED) {
            ::close(fd);
            return false;
        }
        const xcb_shm_seg_t segment = xcb_generate_id(connection_);
        // The request takes the descriptor over and closes it once sent.
        if (reply(xcb_request_check(connection_, xcb_shm_attach_fd_checked(connection_, segment, fd, 1)))) {
            ::munmap(memory, size_);
            return false;
        }
        bytes_ = static_cast<std::uint8_t*>(memory);
        segment_ = segment;
        return true;
    }

    xcb_connection_t* connection_;
    std::size_t size_;
    std::uint8_t* bytes_ = nullptr;
    xcb_shm_seg_t segment_ = 0;
    std::vector<std::uint8_t> local_;
};

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    auto answer = reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return answer ? answer->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::optional<xcb_pixmap_t> pixmapProperty(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t name) {
    auto answer = reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, name, XCB_ATOM_PIXMAP, 0, 1), nullptr));
    if (!answer || answer->type != XCB_ATOM_PIXMAP || answer->format != 32 || answer->value_len != 1)
        return std::nullopt;
    return *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(answer.get()));
}

// Paints the root window's picture into a black canvas of the root's size.
using Painter = std::function<void(CanvasView canvas)>;

// Composes the picture once, in the server's layout, and puts it into a new pixmap of
// the root's size in one transfer (in bands the server takes where no memory is shared).
bool uploadPixmap(xcb_connection_t* connection, const xcb_screen_t* screen, const PixelLayout& layout,
                  const Painter& paint, xcb_pixmap_t pixmap, TransferBuffer& buffer) {
    const int width = screen->width_in_pixels, height = screen->height_in_pixels;
    const std::size_t stride = transferStride(width, layout);
    const std::size_t room = static_cast<std::size_t>(xcb_get_maximum_request_length(connection)) * 4 - 64;
    if (buffer.segment() == 0 && stride > room) return false;
    if (takesCanvasWords(layout)) {
        paint(CanvasView{reinterpret_cast<std::uint32_t*>(buffer.bytes()), width, height, stride / 4});
    } else {
        RgbPixels canvas = blankCanvas(width, height);
        paint(CanvasView{canvas.rgb.data(), width, height, static_cast<std::size_t>(width)});
        convertRows(canvas, buffer.bytes(), stride, layout);
    }
    xcb_create_pixmap(connection, screen->root_depth, pixmap, screen->root, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height));
    xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    if (buffer.segment() != 0) {
        xcb_shm_put_image(connection, pixmap, gc, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                          0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0, 0,
                          screen->root_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, buffer.segment(), 0);
    } else {
        const int band = static_cast<int>(std::min<std::size_t>(room / stride, 0xFFFF));
        for (int top = 0; top < height; top += band) {
            int rows = std::min(band, height - top);
            xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(rows), 0, static_cast<std::int16_t>(top), 0, screen->root_depth,
                          static_cast<std::uint32_t>(stride * rows), buffer.bytes() + stride * top);
        }
    }
    xcb_free_gc(connection, gc);
    return true;
}

// Draws the root window's picture, painted at the root's size.
bool drawRootBackground(const Painter& paint) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> closer(connection, &xcb_disconnect);
    if (xcb_connection_has_error(connection)) return false;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) return false;
    const xcb_screen_t* screen = screens.data;
    std::optional<PixelLayout> layout = rootLayout(setup, screen);
    if (!layout) return false;

    TransferBuffer buffer(connection, transferStride(screen->width_in_pixels, *layout) * screen->height_in_pixels);
    xcb_pixmap_t pixmap = xcb_generate_id(connection);
    if (!uploadPixmap(connection, screen, *layout, paint, pixmap, buffer)) return false;

    const xcb_atom_t rootPixmapId = internAtom(connection, "_XROOTPMAP_ID");
    const xcb_atom_t esetrootPixmapId = internAtom(connection, "ESETROOT_PMAP_ID");
    if (rootPixmapId == XCB_ATOM_NONE || esetrootPixmapId == XCB_ATOM_NONE) return false;
    // The same pixmap under both names was left by a setter like this one, kept by the
    // server only for the root window: free it with the client that made it.
    auto previous = pixmapProperty(connection, screen->root, rootPixmapId);
    if (previous && previous == pixmapProperty(connection, screen->root, esetrootPixmapId))
        std::free(xcb_request_check(connection, xcb_kill_client_checked(connection, *previous)));

    for (xcb_atom_t name : {rootPixmapId, esetrootPixmapId})
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root, name, XCB_ATOM_PIXMAP, 32, 1, &pixmap);
    xcb_change_window_attributes(connection, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(connection, 0, screen->root, 0, 0, 0, 0);
    xcb_set_close_down_mode(connection, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    // The checked request is a round trip: every error of the requests before it has
    // arrived by then.
    Reply<xcb_generic_error_t> failed = reply(xcb_request_check(connection, xcb_no_operation_checked(connection)));
    bool clean = !failed;
    while (auto event = reply(xcb_poll_for_event(connection))) clean = clean && event->response_type != 0;
    return clean && !xcb_connection_has_error(connection);
}

// Runs the drawing on a thread of its own, waiting at most `timeout` for it.
bool drawWithin(std::chrono::milliseconds timeout, Painter paint) {
    // libxcb has no time limit of its own; a server that does not answer leaves the
    // drawing thread waiting, never the caller.
    auto result = std::make_shared<std::promise<bool>>();
    std::future<bool> drawn = result->get_future();
    std::thread([result, paint = std::move(paint)] {
        // Nothing may leave this thread: a failure is a background not drawn.
        bool drawn = false;
        try {
            drawn = drawRootBackground(paint);
        } catch (const std::exception&) {
        }
        result->set_value(drawn);
    }).detach();
    return drawn.wait_for(timeout) == std::future_status::ready && drawn.get();
}

}  // namespace

bool setRootBackground(const std::string& file, std::chrono::milliseconds timeout, std::optional<FitMode> fit,
                       const WallpaperPixels& pixels) {
    const FitMode mode = fit.value_or(FitMode::Fill);
    if (pixels) {
        return drawWithin(timeout, [mode, pixels](CanvasView canvas) {
            const PixelRect screen{0, 0, canvas.width, canvas.height};
            // Decoded no larger than the screen shows it.
            const PixelRect shown = neededPictureSize(pixels.width, pixels.height, mode, screen);
            drawFitted(pixels.at(shown.width, shown.height), mode, screen, canvas);
        });
    }
    std::optional<RgbPixels> picture = readBmpPixels(file);
    if (!picture) return false;
    return drawWithin(timeout, [mode, picture = std::move(*picture)](CanvasView canvas) {
        drawFitted(picture, mode, PixelRect{0, 0, canvas.width, canvas.height}, canvas);
    });
}

bool setRootBackgroundAreas(const std::vector<std::string>& files, const std::vector<PixelRect>& areas,
                            std::chrono::milliseconds timeout, std::optional<FitMode> fit) {
    std::vector<RgbPixels> pictures;
    for (const std::string& file : files) {
        std::optional<RgbPixels> picture = readBmpPixels(file);
        if (!picture) return false;
        pictures.push_back(std::move(*picture));
    }
    const FitMode mode = fit && *fit != FitMode::Span ? *fit : FitMode::Fill;
    return drawWithin(timeout, [pictures = std::move(pictures), areas, mode](CanvasView canvas) {
        for (std::size_t i = 0; i < areas.size() && i < pictures.size(); ++i) drawFitted(pictures[i], mode, areas[i], canvas);
    });
}

}  // namespace velmora::platform
