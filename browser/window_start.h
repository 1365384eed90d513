#pragma once
// How a main window starts, for every window: the screen's depth settles how pictures
// are decoded (8 bits or fewer: with a palette), the collection is opened, and only
// then is the window shown, so an error at start comes in a box of its own before the
// window appears.

#include <functional>
#include <optional>
#include <string>

namespace velmora {

class CollectionBrowser;

// screenBits: the screen's bits per pixel times its planes.
void startWindow(CollectionBrowser& browser, int screenBits, const std::optional<std::string>& startFile,
                 const std::function<void()>& show);

}  // namespace velmora
