#pragma once
// The browser's commands and the one table of the controls that start them: the
// main window's buttons and popup menu, in their order, and the viewer's menu. A
// view builds its buttons, menus and shortcuts from these rows and asks
// CommandStates which of them are available.

#include <span>
#include <string>
#include <string_view>

#include "browser/texts.h"

namespace velmora {

enum class CommandId {
    None,  // separators and the filter submenu itself
    Previous,
    Next,
    Delete,
    SetAsWallpaper,
    WebSite,
    Quit,
    AddFromFile,
    Save,
    NewCollection,
    OpenCollection,
    OpenServerCollection,
    Rename,
    ShowAll,
    FilterByName,
    Copy,
    Cut,
    Paste,
    ViewerWallpaper,
    CloseViewer,
    Undo,
    Trash,
    WallpaperSettings,
    Thumbnails,
    ChineseInterface,  // the language the interface uses from the next start
    EnglishInterface,
    OpenViewer,  // the picture area's keys: what a click on the picture does
    ViewerPrevious,  // the viewer's keys: the picture before or after, in the open viewer
    ViewerNext,
    FullScreen,  // the viewer's own: the view does it, the core has nothing to do
};

// The availability rule a control follows.
enum class CommandGroup {
    Always,
    Previous,  // the navigation buttons, each on its own
    Next,
    Picture,  // the picture commands: all on or all off together
    Undo,     // while there is a change to undo
};

enum class ControlKind {
    Button,      // a flat button of the main window
    MenuItem,    // an item of the popup menu
    ChoiceItem,  // an item of the popup menu that shows a check when it is the one chosen
    Submenu,     // the start of a submenu; the items up to SubmenuEnd belong to it
    SubmenuEnd,
    Separator,
};

struct CommandControl {
    ControlKind kind;
    const char* componentName;         // the control's object name
    const char* TextTable::*caption;   // with its accelerator; null for separators
    CommandId command;
    CommandGroup group;
    const char* shortcut;  // a key in Qt's portable spelling ("Ctrl+Shift+O", "Del", "F2"), or null
};

// A key that runs a command where it is pressed, beside the command table's shortcuts.
struct KeyBinding {
    const char* key;  // spelt as the shortcuts are
    CommandId command;
};

// The main window's buttons, top to bottom, then its popup menu in order.
std::span<const CommandControl> mainWindowControls();
// The viewer's popup menu.
std::span<const CommandControl> viewerControls();

// The picture area's keys, while it has the focus. Its wheel: see wheelCommand().
std::span<const KeyBinding> pictureAreaKeys();
// The viewer's keys. Escape closes it as a click does.
std::span<const KeyBinding> viewerKeys();
// The command bound to key in bindings, or the main window's shortcut; None when none is.
CommandId commandOfKey(std::span<const KeyBinding> bindings, std::string_view key);
CommandId shortcutCommand(std::string_view key);
// A turn of the mouse wheel over the picture: towards the user (delta below 0) shows the
// next picture, away the previous one, as other viewers do.
CommandId wheelCommand(int delta);

// The availability rule of a command: that of the controls that start it.
CommandGroup groupOf(CommandId command);

// Which commands are available now, by the rules of their groups.
struct CommandStates {
    bool previous = true;
    bool next = true;
    bool pictureCommands = true;
    bool undo = false;
    std::string undoCaption{};  // the undo item's caption naming what it undoes; "" with nothing to undo
    Language language = Language::Chinese;  // the interface language chosen

    bool enabled(CommandGroup group) const {
        switch (group) {
        case CommandGroup::Previous: return previous;
        case CommandGroup::Next: return next;
        case CommandGroup::Picture: return pictureCommands;
        case CommandGroup::Undo: return undo;
        case CommandGroup::Always: break;
        }
        return true;
    }
    // The caption a control shows now: the undo item names what it undoes, and says
    // only "撤销(&Z)" with nothing to undo.
    std::string caption(const CommandControl& control) const;
    // True for the choice item of the language chosen.
    bool checked(const CommandControl& control) const;
    bool operator==(const CommandStates&) const = default;
};

}  // namespace velmora
