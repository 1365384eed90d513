#include "wallpaper/set_to_desktop.h"

#include "base/system_error.h"
#include "base/error.h"
#include "store/imagefile/bmp_writer.h"
#include "wallpaper/change_hold.h"
#include "wallpaper/picture_pixels.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/wallpaper_folder.h"
#include "wallpaper/wallpaper_location.h"
#include "wallpaper/wallpaper_texts.h"

namespace velmora {
namespace {

using namespace platform;

// Reads the remembered name, deletes its file and removes the folder (when the key
// exists), then remembers the new name.
void replaceRememberedName(const Platform& platform, const WallpaperFolders& folders, const std::string& name) {
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
        if (!nameLeavesWallpaperFolder(previous)) deletePreviousWallpaper(platform.files, folders, previous);
        removeWallpaperFolder(platform.files, folders);
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
        windows.showMessage(request.variant == WallpaperVariant::Viewer ? wallpaperTexts().noPictureSource
                                                                        : wallpaperTexts().noPictureForDesktop);
        return;
    }
    if (nameLeavesWallpaperFolder(request.name))
        throw Error(cannotCreateFileMessage(wallpaperFilePath(request.name), kErrorInvalidName));

    {
        // From the registry to the desktop one change at a time: another change removing
        // the folder between this one's removal and its new file would fail one of them.
        WallpaperChangeHold hold(platform.wallpaperLock);
        // The change's registry writes (the name, the desktop's setting) are stored at
        // once, also when an error ends the change after the name was written.
        HeldRegistryChanges changes(platform.registry);
        const WallpaperFolders folders = wallpaperFolders(platform.files);
        replaceRememberedName(platform, folders, request.name);
        const bool machineUsable = prepareMachineFolder(platform.files, folders);
        const SharedBytes jpeg = request.displayedPicture->jpegData();
        std::string written;
        {
            // A picture of its own over the same JPEG data, decoded at full size; it and
            // its bitmap go when this block is left, also by an error.
            JpegPicture picture;
            picture.loadData(jpeg);
            Bytes headers;
            written = writeWallpaperFile(platform.files, folders, machineUsable, request.name,
                                         bmpFileRuns(picture.bitmap(), headers));
        }
        // A desktop that draws the picture itself decodes it at its screen's size.
        platform.desktop.setWallpaperPixels(picturePixels(jpeg));
        platform.desktop.setWallpaper(written);
        if (changes.commit() != 0) throw Error(failedToSetDataMessage(kWallpaperValue));
    }

    pressWindowsM(platform.desktop);
    windows.hideMainWindow();
    if (request.variant == WallpaperVariant::Viewer) windows.hideAndCloseViewer();
    platform.desktop.sleep(1000);
    windows.showAndRaiseMainWindow();
}

}  // namespace velmora
