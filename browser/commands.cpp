#include "browser/commands.h"

namespace velmora {

namespace {

using enum ControlKind;
using enum CommandGroup;
using T = TextTable;

constexpr CommandControl button(const char* name, const char* T::*caption, CommandId command, CommandGroup group) {
    return {Button, name, caption, command, group, nullptr};
}
constexpr CommandControl item(const char* name, const char* T::*caption, CommandId command, CommandGroup group) {
    return {MenuItem, name, caption, command, group, nullptr};
}
constexpr CommandControl separator(const char* name) {
    return {Separator, name, nullptr, CommandId::None, Always, nullptr};
}

constexpr CommandControl kMainWindow[] = {
    button("SpeedButton1", &T::previousButton, CommandId::Previous, Previous),
    button("SpeedButton2", &T::nextButton, CommandId::Next, Next),
    button("SpeedButton3", &T::deleteButton, CommandId::Delete, Picture),
    button("SpeedButton4", &T::wallpaperButton, CommandId::SetAsWallpaper, Picture),
    button("SpeedButton6", &T::webSiteButton, CommandId::WebSite, Always),
    button("SpeedButton5", &T::quitButton, CommandId::Quit, Always),

    item("LoadFormFile", &T::addFromFileItem, CommandId::AddFromFile, Always),
    item("SaveToFile", &T::saveItem, CommandId::Save, Picture),
    item("DeleteFormDB", &T::deleteItem, CommandId::Delete, Picture),
    separator("MenuSeperator1"),
    item("NewPicFile", &T::newFileItem, CommandId::NewCollection, Always),
    item("OpenPicDataFile", &T::openFileItem, CommandId::OpenCollection, Always),
    separator("MenuSeperator4"),
    item("Rename", &T::renameItem, CommandId::Rename, Picture),
    {Submenu, "PicFilt", &T::filterMenu, CommandId::None, Always, nullptr},
    item("ShowAll", &T::showAllItem, CommandId::ShowAll, Picture),
    item("FiltByName", &T::filterByNameItem, CommandId::FilterByName, Picture),
    {SubmenuEnd, nullptr, nullptr, CommandId::None, Always, nullptr},
    item("SetToDesktop", &T::wallpaperItem, CommandId::SetAsWallpaper, Picture),
    item("WallpaperSettings", &T::wallpaperSettingsItem, CommandId::WallpaperSettings, Always),
    separator("MenuSeperator2"),
    item("CopyToCBoard", &T::copyItem, CommandId::Copy, Picture),
    item("CutToCBoard", &T::cutItem, CommandId::Cut, Picture),
    item("PasteFromCBoard", &T::pasteItem, CommandId::Paste, Always),
    separator("MenuSeperator5"),
    {MenuItem, "UndoLastChange", &T::undoItem, CommandId::Undo, Undo, "Ctrl+Z"},
    item("RecycleBin", &T::trashItem, CommandId::Trash, Always),
    {MenuItem, "Thumbnails", &T::thumbnailsItem, CommandId::Thumbnails, Always, "Ctrl+T"},
    separator("MenuSeperator3"),
    item("Quit", &T::quitItem, CommandId::Quit, Always),
};

constexpr CommandControl kViewer[] = {
    item("SetToDesktop", &T::viewerWallpaperItem, CommandId::ViewerWallpaper, Always),
    item("Quit", &T::viewerCloseItem, CommandId::CloseViewer, Always),
};

}  // namespace

std::span<const CommandControl> mainWindowControls() { return kMainWindow; }

std::span<const CommandControl> viewerControls() { return kViewer; }

std::string CommandStates::caption(const CommandControl& control) const {
    if (control.group == CommandGroup::Undo && !undoCaption.empty()) return undoCaption;
    return control.caption ? texts().*control.caption : "";
}

CommandGroup groupOf(CommandId command) {
    for (std::span<const CommandControl> table : {mainWindowControls(), viewerControls()}) {
        for (const CommandControl& control : table) {
            if (control.command == command) return control.group;
        }
    }
    return Always;
}

}  // namespace velmora
