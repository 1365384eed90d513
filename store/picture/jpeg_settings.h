#pragma once
// The codec settings a picture object takes from the program-wide defaults when it
// is created.

namespace velmora {

enum class PixelFormat { Bits24, Bits8 };

// Program-wide defaults every picture object starts from. The pixel format is
// settled once at start from the screen depth (8 or fewer bits: 8-bit).
struct JpegDefaults {
    int quality = 90;
    bool grayscaleOutput = false;
    bool bestSpeed = false;
    PixelFormat pixelFormat = PixelFormat::Bits24;
    bool progressiveDisplay = false;
    bool progressiveEncoding = false;
    int scale = 0;  // denominator 2^scale: 0 full, 1 half, 2 quarter, 3 eighth
    bool smoothing = true;
};

// The defaults in force; settleScreenDepth() is called once by the application.
const JpegDefaults& jpegDefaults();
void settleScreenDepth(int bitsPerPixelTimesPlanes);

}  // namespace velmora
