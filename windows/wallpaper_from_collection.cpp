#include "windows/wallpaper_from_collection.h"

#include <optional>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/picture/jpeg_picture.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

// There is no window to hide; the command's own message (no picture) ends the run.
class NoWindows : public WallpaperWindows {
public:
    void showMessage(const std::string& text) override { throw Error(text); }
    void hideMainWindow() override {}
    void hideAndCloseViewer() override {}
    void showAndRaiseMainWindow() override {}
};

class OpenCollection {
public:
    explicit OpenCollection(const std::string& path) {
        connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path +
                                       ";Persist Security Info=False");
        query.setSql("select * from pictures\r\n");
        query.open();
    }

    // The row of the first record named name.
    std::optional<int> rowOf(const std::string& name) {
        for (int row = 0; row < query.recordCount(); ++row) {
            if (query.displayName(row).value_or("") == name) return row;
        }
        return std::nullopt;
    }

    // Runs the wallpaper command on the record at row.
    void setWallpaperAt(int row, const platform::Platform& platform) {
        query.first();
        query.moveBy(row);
        WallpaperRequest request;
        Field picture = query.fieldByName("picture");
        request.pictureIsNull = picture.isNull();
        request.name = query.fieldByName("filename").asString();
        JpegPicture displayed;
        if (!request.pictureIsNull) {
            displayed.readStored(picture.asBytes());
            request.displayedPicture = &displayed;
        }
        NoWindows windows;
        setToDesktop(request, platform, windows);
    }

    Connection connection;
    PictureQuery query{connection};
};

std::string rememberedName(platform::Registry& registry) {
    OpenRegistryKey key(registry);
    if (registry.openKey(platform::kHkeyCurrentUser, registryKeyPath(kWallpaperKey), platform::kKeyRead,
                         key.handle()) != 0)
        return "";
    return readRegistryString(registry, key.key(), kWallpaperValue);
}

}  // namespace

void setWallpaperByName(const std::string& collection, const std::string& name,
                        const platform::Platform& platform) {
    OpenCollection pictures(collection);
    const std::optional<int> row = pictures.rowOf(name);
    if (!row) throw Error("No picture named '" + name + "' in " + collection);
    pictures.setWallpaperAt(*row, platform);
}

std::string setNextWallpaper(const std::string& collection, const platform::Platform& platform) {
    OpenCollection pictures(collection);
    const int count = pictures.query.recordCount();
    if (count == 0) throw Error("No pictures in " + collection);
    const std::optional<int> current = pictures.rowOf(rememberedName(platform.registry));
    const int row = current ? (*current + 1) % count : 0;
    const std::string name = pictures.query.displayName(row).value_or("");
    pictures.setWallpaperAt(row, platform);
    return name;
}

}  // namespace velmora
