#include "wallpaper/wallpaper_rotation.h"

#include <algorithm>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

using namespace platform;

// Hands the wallpaper on, and keeps the rest of the desktop as it is: a timer that
// minimised every window each half hour would be a nuisance, and nothing is shown
// that needs the pause.
class WindowlessDesktop : public Desktop {
public:
    explicit WindowlessDesktop(Desktop& desktop) : desktop_(desktop) {}
    bool setWallpaper(const std::string& path) override { return desktop_.setWallpaper(path); }
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override { return desktop_.mapVirtualKey(code, mapType); }
    void keyboardEvent(std::uint8_t, std::uint8_t, std::uint32_t, std::uintptr_t) override {}
    void sleep(unsigned) override {}
    bool shellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                      unsigned showCommand) override {
        return desktop_.shellExecute(verb, file, parameters, showCommand);
    }

private:
    Desktop& desktop_;
};

// No windows: the command's own message becomes the error of the run.
class NoWindows : public WallpaperWindows {
public:
    void showMessage(const std::string& text) override { message = text; }
    void hideMainWindow() override {}
    void hideAndCloseViewer() override {}
    void showAndRaiseMainWindow() override {}

    std::string message;
};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string rememberedWallpaperName(Registry& registry) {
    OpenRegistryKey key(registry);
    if (registry.openKey(kHkeyCurrentUser, registryKeyPath(kWallpaperKey), kKeyQueryAndEnumerate, key.handle()) != 0)
        return "";
    return readRegistryString(registry, key.key(), kWallpaperValue);
}

std::size_t recordAfter(const std::vector<std::optional<std::string>>& names, const std::string& remembered) {
    auto found = std::find(names.begin(), names.end(), std::optional<std::string>(remembered));
    if (remembered.empty() || found == names.end()) return 0;
    return static_cast<std::size_t>(found - names.begin() + 1) % names.size();
}

std::string setWallpaperFromFile(const std::string& path, const std::optional<std::string>& name,
                                 const Platform& platform) {
    Connection connection;
    connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path +
                                   ";Persist Security Info=False");
    PictureQuery pictures(connection);
    try {
        pictures.activate();
    } catch (const Error& e) {
        throw Error("Cannot open the picture data file " + quoted(path) + ": " + e.what());
    }
    std::vector<std::optional<std::string>> names;
    for (int row = 0; row < pictures.recordCount(); ++row) names.push_back(pictures.displayName(row));
    if (names.empty()) throw Error("The picture data file " + quoted(path) + " holds no pictures");

    std::size_t index = 0;
    if (name) {
        auto found = std::find(names.begin(), names.end(), name);
        if (found == names.end()) throw Error("No picture named " + quoted(*name) + " in " + quoted(path));
        index = static_cast<std::size_t>(found - names.begin());
    } else {
        index = recordAfter(names, rememberedWallpaperName(platform.registry));
    }
    pictures.first();
    pictures.moveBy(static_cast<int>(index));

    Field picture = pictures.fieldByName("picture");
    JpegPicture displayed;
    if (!picture.isNull()) displayed.readStored(picture.asBytes());
    WallpaperRequest request{WallpaperVariant::MainWindow, picture.isNull(), &displayed, names[index].value_or("")};
    WindowlessDesktop desktop(platform.desktop);
    NoWindows windows;
    setToDesktop(request, Platform{platform.registry, platform.files, desktop}, windows);
    if (!windows.message.empty()) throw Error(windows.message);
    return request.name;
}

}  // namespace velmora
