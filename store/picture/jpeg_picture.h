#pragma once
// The picture object: JPEG bytes (shared by every copy, never changed once made), a
// bitmap (decoded from them, or waiting to be encoded), or both. It decodes once at
// the first draw and encodes once when stored or saved.

#include <memory>
#include <string>

#include "base/bytes.h"
#include "base/deferred_bytes.h"
#include "store/picture/bitmap.h"
#include "store/picture/exif_orientation.h"
#include "store/picture/jpeg_settings.h"

namespace velmora {

class JpegPicture {
public:
    JpegPicture();
    // Copy: shares the JPEG data slot (also data a copy produces later by encoding)
    // and copies the bitmap.
    JpegPicture(const JpegPicture& other);
    JpegPicture& operator=(const JpegPicture& other);
    ~JpegPicture();

    // Reads a stored `picture` value: skips a valid graphic header (01 00 00 01 +
    // 32-bit length == size - 8), takes the rest as the JPEG data, drops the bitmap,
    // and parses the headers (no pixels). A 0-byte rest is not parsed. Raises
    // JpegError when the headers do not parse; the data stays replaced.
    void readStored(const SharedBytes& value);
    // The same, reading only the front of the value until the headers are parsed;
    // the rest is fetched when the picture's bytes or pixels are first needed. A
    // value that changed in between raises Error then, and the picture stays empty.
    void readStored(const DeferredBytes& value);
    // The same for the bytes of a JPEG file: no graphic-header rule.
    void loadData(const SharedBytes& bytes);
    // Gets a new, absent data slot and a copy of the bitmap.
    void assignBitmap(const Bitmap& bitmap);
    // The same, taking the bitmap over instead of copying it.
    void assignBitmap(Bitmap&& bitmap);

    bool empty() const;
    bool hasData() const;
    // The bitmap's, else the data's frame header turned upright by its EXIF orientation.
    int width() const;
    int height() const;
    // The EXIF orientation of the data (Normal for a bitmap and for data without one).
    Orientation orientation() const;
    bool grayscale() const;
    bool progressive() const;

    // The JPEG bytes, encoding the bitmap first when there are none (0 bytes for an
    // empty bitmap). Never re-encodes data that exist.
    SharedBytes jpegData();
    // Writes exactly jpegData() to path, replacing a file; raises
    // "Cannot create file "%s". %s" when it cannot be created.
    void saveToFile(const std::string& path);

    // The decoded bitmap, upright by the data's EXIF orientation, decoding on first use. A fatal decoder error is raised once
    // (JpegError); the object keeps the bitmap as far as it was filled and later
    // calls return it without raising.
    const Bitmap& bitmap();
    // True when a bitmap exists (decoded, partially decoded, or assigned).
    bool hasBitmap() const;

    // The picture at exactly width x height for a display area, made by nearest
    // neighbour from the smallest DCT-reduced decode that covers that size (or from
    // the full bitmap when there is one). Kept for later calls of the same size;
    // the full bitmap is not made. A fatal decoder error is raised once, like
    // bitmap(); the display bitmap then holds what was decoded, and a later full
    // decode keeps its partial bitmap without raising again. Bytes fetched for it from
    // a deferred value are let go afterwards: a picture on screen holds its display
    // bitmap, and the bytes are fetched again when they are needed.
    const Bitmap& displayBitmap(int width, int height);
    // The picture upright at the largest DCT reduction whose output still covers
    // width x height (the whole picture when none does), for a caller that fits it
    // in itself; nothing is kept. Raises JpegError.
    Bitmap coveringBitmap(int width, int height);
    // Takes over a display bitmap made elsewhere (a preloaded one) from this
    // picture's data; decodeFailed: its decoder error is still to be reported.
    void adoptDisplayBitmap(Bitmap bitmap, bool decodeFailed);
    // The same, sharing it (null: none).
    void adoptDisplayBitmap(std::shared_ptr<const Bitmap> bitmap, bool decodeFailed);
    bool hasDisplayBitmap() const { return display_ != nullptr; }
    // The display bitmap made last, shared (null before the first); it never changes.
    std::shared_ptr<const Bitmap> sharedDisplayBitmap() const { return display_; }
    // True when the bytes are in memory (false while only the headers were read).
    bool dataFetched() const;
    // True when decoding failed: the bitmap is unfinished and is never decoded again.
    bool decodeFailed() const;

private:
    // Turns a bitmap decoded from the data upright by its EXIF orientation; the data
    // themselves are never changed.
    void turnUpright(Bitmap& decoded) const;

    struct DataSlot;
    // The JPEG bytes, fetching a deferred value first (null when there are none).
    const SharedBytes& fetchedBytes();
    // Lets bytes fetched from a deferred value go (they are fetched again when needed).
    void releaseFetchedBytes();

    std::shared_ptr<DataSlot> data_;
    std::unique_ptr<Bitmap> bitmap_;
    std::shared_ptr<const Bitmap> display_;  // never changed once made: copies share it
    bool decodeFailed_ = false;
    JpegDefaults settings_;
};

}  // namespace velmora
