#include "wallpaper/set_to_desktop.h"

#include "base/system_error.h"
#include "base/error.h"
#include "store/imagefile/bmp_writer.h"
#include "wallpaper/change_hold.h"
#include "wallpaper/folder_chain.h"
#include "wallpaper/io_error.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

using namespace platform;

// Reads the remembered name, deletes its file and removes the folder (when the key
// exists), then remembers the new name.
void replaceRememberedName(const Platform& platform, const std::string& name) {
    const std::string keyPath = registryKeyPath(kWallpaperKey);
    bool keyExists = false;
    {
        OpenRegistryKey probe(platform.registry);
        keyExists = platform.registry.openKey(kHkeyCurrentUser, keyPath, kKeyQueryAndEnumerate,
                                              probe.handle()) == 0;
    }
    if (keyExists) {
        std::string previous;
        {
            OpenRegistryKey key(platform.registry);
            platform.registry.openKey(kHkeyCurrentUser, keyPath, kKeyAllAccess, key.handle());
            previous = readRegistryString(platform.registry, key.key(), kWallpaperValue);
        }
        // A remembered name pointing elsewhere is never used to delete a file.
        if (!nameLeavesWallpaperFolder(previous))
            platform.files.deleteFile(wallpaperFilePath(previous));
        if (!platform.files.removeDirectory(kWallpaperFolder))
            throw Error(ioErrorMessage(platform.files.lastError()));
    }
    OpenRegistryKey key(platform.registry);
    platform.registry.createKey(kHkeyCurrentUser, keyPath, kKeyAllAccess, key.handle());
    writeRegistryString(platform.registry, key.key(), kWallpaperValue, name);
}

void pressWindowsM(Desktop& desktop) {
    struct Event {
        std::uint8_t key;
        std::uint32_t flags;
    };
    static const Event events[] = {{kVkLeftWindows, 0},
                                   {kVkM, 0},
                                   {kVkM, kKeyEventKeyUp},
                                   {kVkLeftWindows, kKeyEventKeyUp}};
    for (const Event& event : events) {
        unsigned scanCode = desktop.mapVirtualKey(event.key, kMapVirtualKeyToScanCode);
        desktop.keyboardEvent(event.key, static_cast<std::uint8_t>(scanCode & 0xFF), event.flags, 0);
    }
}

}  // namespace

void setToDesktop(const WallpaperRequest& request, const Platform& platform,
                  WallpaperWindows& windows) {
    if (request.pictureIsNull || request.displayedPicture == nullptr) {
        windows.showMessage(request.variant == WallpaperVariant::Viewer ? kNoPictureSource
                                                                        : kNoPictureForDesktop);
        return;
    }
    const std::string file = wallpaperFilePath(request.name);
    if (nameLeavesWallpaperFolder(request.name))
        throw Error(cannotCreateFileMessage(file, kErrorInvalidName));

    {
        // From the registry to the desktop one change at a time: another change removing
        // the folder between this one's removal and its new file would fail one of them.
        WallpaperChangeHold hold(platform.wallpaperLock);
        replaceRememberedName(platform, request.name);
        if (!directoryExists(platform.files, kWallpaperFolder))
            createFolderChain(platform.files, kWallpaperFolder);
        {
            // A picture of its own over the same JPEG data, decoded at full size; it and
            // its bitmap go when this block is left, also by an error.
            JpegPicture picture;
            picture.loadData(request.displayedPicture->jpegData());
            Bytes bmp = encodeBmp(picture.bitmap());
            if (!platform.files.createFile(file, bmp))
                throw Error(cannotCreateFileMessage(file, platform.files.lastError()));
        }
        platform.desktop.setWallpaper(file);
    }

    pressWindowsM(platform.desktop);
    windows.hideMainWindow();
    if (request.variant == WallpaperVariant::Viewer) windows.hideAndCloseViewer();
    platform.desktop.sleep(1000);
    windows.showAndRaiseMainWindow();
}

}  // namespace velmora
