#include "browser/commands.h"

namespace velmora {

namespace {

using enum ControlKind;
using enum CommandGroup;
using T = TextTable;

constexpr CommandControl button(const char* name, const char* T::*caption, CommandId command, CommandGroup group) {
    return {Button, name, caption, command, group, nullptr};
}
constexpr CommandControl item(const char* name, const char* T::*caption, CommandId command, CommandGroup group,
                              const char* shortcut = nullptr) {
    return {MenuItem, name, caption, command, group, shortcut};
}
constexpr CommandControl choice(const char* name, const char* T::*caption, CommandId command) {
    return {ChoiceItem, name, caption, command, Always, nullptr};
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

    item("LoadFormFile", &T::addFromFileItem, CommandId::AddFromFile, Always, "Ctrl+Shift+O"),
    item("SaveToFile", &T::saveItem, CommandId::Save, Picture, "Ctrl+S"),
    item("DeleteFormDB", &T::deleteItem, CommandId::Delete, Picture, "Del"),
    separator("MenuSeperator1"),
    item("NewPicFile", &T::newFileItem, CommandId::NewCollection, Always, "Ctrl+N"),
    item("OpenPicDataFile", &T::openFileItem, CommandId::OpenCollection, Always, "Ctrl+O"),
    item("OpenServerCollection", &T::openServerItem, CommandId::OpenServerCollection, Always),
    separator("MenuSeperator4"),
    item("Rename", &T::renameItem, CommandId::Rename, Picture, "F2"),
    {Submenu, "PicFilt", &T::filterMenu, CommandId::None, Always, nullptr},
    item("ShowAll", &T::showAllItem, CommandId::ShowAll, Picture, "Ctrl+Shift+F"),
    item("FiltByName", &T::filterByNameItem, CommandId::FilterByName, Picture, "Ctrl+F"),
    {SubmenuEnd, nullptr, nullptr, CommandId::None, Always, nullptr},
    item("SetToDesktop", &T::wallpaperItem, CommandId::SetAsWallpaper, Picture),
    item("WallpaperSettings", &T::wallpaperSettingsItem, CommandId::WallpaperSettings, Always),
    separator("MenuSeperator2"),
    item("CopyToCBoard", &T::copyItem, CommandId::Copy, Picture, "Ctrl+C"),
    item("CutToCBoard", &T::cutItem, CommandId::Cut, Picture, "Ctrl+X"),
    item("PasteFromCBoard", &T::pasteItem, CommandId::Paste, Always, "Ctrl+V"),
    separator("MenuSeperator5"),
    item("UndoLastChange", &T::undoItem, CommandId::Undo, Undo, "Ctrl+Z"),
    item("RecycleBin", &T::trashItem, CommandId::Trash, Always),
    item("Thumbnails", &T::thumbnailsItem, CommandId::Thumbnails, Always, "Ctrl+T"),
    separator("MenuSeperator3"),
    {Submenu, "LanguageMenu", &T::languageMenu, CommandId::None, Always, nullptr},
    choice("ChineseInterface", &T::chineseItem, CommandId::ChineseInterface),
    choice("EnglishInterface", &T::englishItem, CommandId::EnglishInterface),
    {SubmenuEnd, nullptr, nullptr, CommandId::None, Always, nullptr},
    item("Quit", &T::quitItem, CommandId::Quit, Always, "Ctrl+Q"),
};

constexpr CommandControl kViewer[] = {
    item("SetToDesktop", &T::viewerWallpaperItem, CommandId::ViewerWallpaper, Always),
    item("Quit", &T::viewerCloseItem, CommandId::CloseViewer, Always),
};

constexpr KeyBinding kPictureAreaKeys[] = {
    {"Left", CommandId::Previous}, {"PgUp", CommandId::Previous}, {"Right", CommandId::Next},
    {"PgDown", CommandId::Next},   {"F11", CommandId::OpenViewer}, {"Return", CommandId::OpenViewer},
    {"Enter", CommandId::OpenViewer},
};

constexpr KeyBinding kViewerKeys[] = {
    {"Left", CommandId::ViewerPrevious},
    {"Right", CommandId::ViewerNext},
    {"Esc", CommandId::CloseViewer},
    {"F11", CommandId::FullScreen},
};

}  // namespace

std::span<const KeyBinding> pictureAreaKeys() { return kPictureAreaKeys; }

std::span<const KeyBinding> viewerKeys() { return kViewerKeys; }

CommandId commandOfKey(std::span<const KeyBinding> bindings, std::string_view key) {
    for (const KeyBinding& binding : bindings) {
        if (key == binding.key) return binding.command;
    }
    return CommandId::None;
}

CommandId shortcutCommand(std::string_view key) {
    for (const CommandControl& control : kMainWindow) {
        if (control.shortcut && key == control.shortcut) return control.command;
    }
    return CommandId::None;
}

CommandId wheelCommand(int delta) {
    return delta < 0 ? CommandId::Next : delta > 0 ? CommandId::Previous : CommandId::None;
}

std::span<const CommandControl> mainWindowControls() { return kMainWindow; }

std::span<const CommandControl> viewerControls() { return kViewer; }

std::string CommandStates::caption(const CommandControl& control) const {
    if (control.group == CommandGroup::Undo && !undoCaption.empty()) return undoCaption;
    return control.caption ? texts().*control.caption : "";
}

bool CommandStates::checked(const CommandControl& control) const {
    switch (control.command) {
    case CommandId::ChineseInterface: return language == Language::Chinese;
    case CommandId::EnglishInterface: return language == Language::English;
    default: return false;
    }
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
