#include "browser/picture_display.h"

#include <exception>

#include "store/picture/scale_nearest.h"

namespace velmora {

void PictureDisplay::setPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    frameValid_ = false;
    frameBitmap_ = nullptr;  // it may point into the old picture's bitmap
    scaled_ = Bitmap();
    picture_ = picture;
    hasPicture_ = !picture_.empty();
    pendingError_ = std::move(decoderError);
}

void PictureDisplay::clear() {
    frameValid_ = false;
    frameBitmap_ = nullptr;
    scaled_ = Bitmap();
    picture_ = JpegPicture();
    hasPicture_ = false;
    pendingError_.reset();
}

FitRect PictureDisplay::drawRect(const DisplayTarget& target) const {
    if (!hasPicture_) return {};
    return target.fit(picture_.width(), picture_.height());
}

std::optional<std::string> PictureDisplay::takeError() {
    std::optional<std::string> error = std::move(pendingError_);
    pendingError_.reset();
    return error;
}

void PictureDisplay::paintDone() {
    if (!hasPicture_) return;
    if (std::optional<std::string> error = takeError(); error && reports_.failed && reports_.later) {
        reports_.later([failed = reports_.failed, message = std::move(*error)] { failed(message); });
    }
    if (reports_.shown) reports_.shown();
}

bool PictureDisplay::adoptAhead() {
    std::optional<PreloadedPicture> ahead = aheadSource_();
    if (ahead && ahead->pending) return false;
    if (ahead && ahead->made()) {
        picture_.adoptDisplayBitmap(std::move(ahead->display), ahead->error.has_value());
        if (ahead->error && !pendingError_) pendingError_ = std::move(ahead->error);
    }
    return true;
}

const Bitmap* PictureDisplay::bitmapFor(const DisplayTarget& target, const FitRect& rect) {
    const bool display = target.flags.proportional;
    auto decode = [&]() -> const Bitmap& {
        if (display) return picture_.displayBitmap(target.device(rect.width), target.device(rect.height));
        return picture_.bitmap();
    };
    try {
        return &decode();
    } catch (const std::exception& error) {
        // Reported once, after this paint; the object keeps what was decoded.
        pendingError_ = error.what();
        try {
            return &decode();
        } catch (const std::exception&) {
            return nullptr;
        }
    }
}

PictureDisplay::Frame PictureDisplay::frame(const DisplayTarget& target) {
    if (!hasPicture_) return {};
    const FitRect rect = drawRect(target);
    if (frameValid_ && rect == frameRect_ && target == frameTarget_) return {frameBitmap_, frameRect_, false};
    if (target.flags.proportional && aheadSource_ && !picture_.hasDisplayBitmap() && rect.width > 0 &&
        rect.height > 0 && !adoptAhead()) {
        return {nullptr, rect, false, true};
    }
    frameValid_ = true;
    frameRect_ = rect;
    frameTarget_ = target;
    frameBitmap_ = nullptr;
    scaled_ = Bitmap();
    if (rect.width > 0 && rect.height > 0) {
        const Bitmap* bitmap = bitmapFor(target, rect);
        if (bitmap && !bitmap->empty()) {
            if (target.flags.proportional || (rect.width == bitmap->width() && rect.height == bitmap->height())) {
                frameBitmap_ = bitmap;  // made for the rectangle, or drawn 1:1 from the picture
            } else {
                scaled_ = scaleNearest(*bitmap, rect.width, rect.height);
                frameBitmap_ = &scaled_;
            }
        }
    }
    return {frameBitmap_, frameRect_, true};
}

}  // namespace velmora
