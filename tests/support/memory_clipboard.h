#pragma once
// A clipboard in memory for tests: it records every call, can hold a bitmap or only
// text, and can be told to fail the way a real clipboard does.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/imagefile/clipboard.h"

namespace velmora {

class MemoryClipboard : public Clipboard {
public:
    // Calls in order: "hasBitmap", "clear", "setBitmap", "bitmap".
    const std::vector<std::string>& calls() const { return calls_; }

    // What another program might have left there.
    void offerBitmap(const Bitmap& bitmap);
    void offerText(const std::string& text);

    // Every call raises "Cannot open clipboard" (another program holds it open).
    void setLocked(bool locked) { locked_ = locked; }
    // hasBitmap() says yes but bitmap() yields none: "Unsupported clipboard format".
    void setBitmapUnreadable(bool unreadable) { unreadable_ = unreadable; }

    // Runs as each call opens the clipboard: a test looks at what the program has done by then.
    std::function<void()> onOpen;

    const std::optional<Bitmap>& heldBitmap() const { return bitmap_; }
    const std::optional<std::string>& heldText() const { return text_; }

    bool hasBitmap() override;
    void clear() override;
    void setBitmap(const Bitmap& bitmap) override;
    Bitmap bitmap() override;

private:
    void open(const char* call);

    std::vector<std::string> calls_;
    std::optional<Bitmap> bitmap_;
    std::optional<std::string> text_;
    bool locked_ = false;
    bool unreadable_ = false;
};

}  // namespace velmora
