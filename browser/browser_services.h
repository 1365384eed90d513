#pragma once
// What the browser needs from outside itself besides its view: the clipboard, the
// platform services, the shell's URL handler and the reader of the picture formats
// the store leaves to the toolkit. A view hands in its own; tests hand in fakes.

#include <functional>
#include <string>

namespace velmora {

class Clipboard;
class ImageDecoder;
struct WallpaperSettingsServices;
namespace platform {
struct Platform;
class SettingsStore;
class Keyring;
}

struct BrowserServices {
    Clipboard* clipboard = nullptr;
    platform::Platform* platform = nullptr;
    std::function<void(const std::string& url)> openUrl;
    const ImageDecoder* imageDecoder = nullptr;  // null: JPEG and BMP only
    // Where the wallpaper settings are kept and the rotation timer; null: none are
    // kept, the wallpaper is set as it comes.
    WallpaperSettingsServices* wallpaperSettings = nullptr;
    // The file thumbnails are kept in (in the user's cache folder); "": none are kept.
    std::string thumbnailStore;
    // Where the interface language chosen in the popup menu is kept; null: nowhere.
    platform::SettingsStore* languageSetting = nullptr;
    // Where the server addresses used last are remembered; null: nowhere.
    platform::SettingsStore* recentServers = nullptr;
    // Where server passwords are kept when the user asks; null: never kept.
    platform::Keyring* keyring = nullptr;
};

}  // namespace velmora
