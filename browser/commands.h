#pragma once
// The browser's commands and the one table of the controls that start them: the
// main window's buttons and popup menu, in their order, and the viewer's menu. A
// view builds its buttons, menus and shortcuts from these rows and asks
// CommandStates which of them are available.

#include <span>
#include <string>

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
    Submenu,     // the start of the filter submenu; the items up to SubmenuEnd belong to it
    SubmenuEnd,
    Separator,
};

struct CommandControl {
    ControlKind kind;
    const char* componentName;         // the control's object name
    const char* TextTable::*caption;   // with its accelerator; null for separators
    CommandId command;
    CommandGroup group;
    const char* shortcut;  // a key sequence ("Ctrl+Z"), or null
};

// The main window's buttons, top to bottom, then its popup menu in order.
std::span<const CommandControl> mainWindowControls();
// The viewer's popup menu.
std::span<const CommandControl> viewerControls();

// The availability rule of a command: that of the controls that start it.
CommandGroup groupOf(CommandId command);

// Which commands are available now, by the rules of their groups.
struct CommandStates {
    bool previous = true;
    bool next = true;
    bool pictureCommands = true;
    bool undo = false;
    std::string undoCaption{};  // the undo item's caption naming what it undoes; "" with nothing to undo

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
    bool operator==(const CommandStates&) const = default;
};

}  // namespace velmora
