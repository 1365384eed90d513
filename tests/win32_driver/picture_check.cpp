#include "tests/win32_driver/picture_check.h"

#include <algorithm>
#include <cstring>

#include "browser/display_target.h"
#include "browser/window_layout.h"
#include "store/picture/jpeg_picture.h"
#include "tests/win32_driver/screen_capture.h"

namespace velmora::driver {

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

Bitmap expectedPictureBox(HWND pictureBox, const Bytes& jpeg, int dpi) {
    RECT client{};
    GetClientRect(pictureBox, &client);
    Bitmap expected(client.right, client.bottom, Bitmap::Format::Bgr24);

    // Fitted in design pixels as on any screen, decoded for the fitted rectangle's device pixels.
    const int left = MulDiv(kPictureInArea.x, dpi, 96), top = MulDiv(kPictureInArea.y, dpi, 96);
    const DisplayTarget target{kPictureInArea.width, kPictureInArea.height,
                               FitFlags{.stretch = false, .proportional = true, .center = true}, dpi / 96.0};
    JpegPicture picture;
    picture.loadData(shareBytes(jpeg));
    const FitRect logical = target.fit(picture.width(), picture.height());
    const FitRect fit{target.device(logical.left), target.device(logical.top), target.device(logical.width),
                      target.device(logical.height)};
    const Bitmap fitted = picture.displayBitmap(fit.width, fit.height).toBgr24();
    for (int y = 0; y < fitted.height(); ++y) {
        const int row = top + fit.top + y;
        const int column = left + fit.left;
        if (row < 0 || row >= expected.height() || column < 0) continue;
        const int width = std::min(fitted.width(), expected.width() - column);
        if (width > 0) std::memcpy(expected.scanLine(row) + column * 3, fitted.scanLine(y), width * 3u);
    }
    return expected;
}

double pictureBoxDifference(HWND pictureBox, const Bytes& jpeg, int dpi) {
    return meanDifference(captureClientArea(pictureBox), 0, 0, expectedPictureBox(pictureBox, jpeg, dpi));
}

}  // namespace velmora::driver
