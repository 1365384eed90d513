#pragma once
// Every caption and message the browser shows, in one table. A view takes its
// captions from here and the core its messages, so another language needs nothing
// but a second table. "{}" marks where a value goes (see fillIn()).

#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/language.h"

namespace velmora {

struct TextTable {
    // The application title: task bar, the main window's design caption, and the
    // caption of the boxes that report conditions and errors.
    const char* applicationTitle;
    const char* defaultFileTitle;  // appended to the design caption at start
    const char* fileTitle;         // a file opened or created later

    // Main window.
    const char* previousButton;
    const char* nextButton;
    const char* deleteButton;
    const char* wallpaperButton;
    const char* webSiteButton;
    const char* quitButton;
    const char* nameCaption;
    const char* countCaption;
    const char* countDesign;  // the count label until its first update
    const char* countLabel;
    const char* popupHint;
    const char* nameListHint;
    const char* nameListColumn;
    const char* pictureHint;

    // Popup menu.
    const char* addFromFileItem;
    const char* saveItem;
    const char* deleteItem;
    const char* newFileItem;
    const char* openFileItem;
    const char* openServerItem;
    const char* renameItem;
    const char* filterMenu;
    const char* showAllItem;
    const char* filterByNameItem;
    const char* wallpaperItem;
    const char* wallpaperSettingsItem;
    const char* copyItem;
    const char* cutItem;
    const char* pasteItem;
    const char* undoItem;         // nothing to undo
    const char* undoDeleteItem;   // "{}": the picture's name
    const char* undoCutItem;
    const char* undoRenameItem;
    const char* undoAddItem;
    const char* undoAddManyItem;  // "{}": how many pictures
    const char* trashItem;
    const char* quitItem;
    const char* languageMenu;  // the same in both languages, so that either finds it
    const char* chineseItem;   // each language named in its own
    const char* englishItem;
    const char* languageHint;  // when a choice takes effect

    // Full-size viewer.
    const char* viewerCaption;
    const char* viewerCaptionName;  // appended: the current name
    const char* viewerHint;
    const char* viewerWallpaperItem;
    const char* viewerCloseItem;

    // The name dialogs and their buttons.
    const char* pictureNameCaption;
    const char* pictureNameLabel;
    const char* proposedName;
    const char* renameCaption;
    const char* renameLabel;
    const char* renameText;
    const char* filterCaption;
    const char* filterLabel;
    const char* filterText;
    const char* newFileCaption;
    const char* newFileLabel;
    const char* newFileText;
    // The server collection's address and password dialogs.
    const char* serverAddressCaption;
    const char* serverAddressLabel;
    const char* serverAddressText;
    const char* passwordCaption;
    const char* passwordLabel;  // "{}": the address, without a password
    const char* keepPasswordBox;
    const char* okButton;
    const char* cancelButton;

    // Message boxes.
    const char* confirmCaption;
    const char* confirmOk;
    const char* confirmCancel;
    const char* noPictureToDelete;
    const char* lastPictureNotDeleted;
    const char* confirmDelete;
    const char* noPictureToCut;
    const char* lastPictureNotCut;
    const char* confirmCut;
    const char* noPictureToCopy;
    const char* noPictureToRename;
    const char* noPictureToSave;
    const char* noPictureToView;
    const char* emptyPictureName;
    const char* noBitmapOnClipboard;
    const char* outOfMemory;
    const char* unknownError;

    // Undo, the trash and pictures already in the file.
    const char* undoRowChanged;
    const char* trashCaption;
    const char* trashNameColumn;
    const char* trashDateColumn;
    const char* trashSizeColumn;
    const char* trashRestoreButton;
    const char* trashDeleteButton;
    const char* trashEmptyButton;
    const char* trashCloseButton;
    const char* trashSpace;          // "{}": the size the trash holds
    const char* confirmDeleteForever;
    const char* confirmEmptyTrash;   // "{}": how many pictures
    const char* duplicateNotAdded;   // "{}": the name of the picture already there

    // The thumbnail window.
    const char* thumbnailsItem;
    const char* thumbnailsCaption;
    const char* leaveOutItem;         // the selected pictures leave the rotation
    const char* putBackItem;          // and come back into it
    const char* confirmDeleteMany;    // "{}": how many pictures
    const char* undoDeleteManyItem;   // "{}": how many pictures
    const char* exportFolderCaption;  // the folder dialog of the export

    // The wallpaper settings dialog.
    const char* wallpaperSettingsCaption;
    const char* fitLabel;
    const char* fitDesktop;     // the desktop's own fit mode
    const char* fitModes[6];    // by platform::FitMode: fill, fit, stretch, centre, tile, span
    const char* perMonitorBox;
    const char* rotateBox;
    const char* intervalHint;   // beside the interval's edit box
    const char* orderLabel;
    const char* orderInTurn;
    const char* orderShuffle;
    const char* pausedBox;
    const char* lockScreenBox;
    const char* leftOutBox;     // the current picture
    const char* badInterval;    // "{}": the interval as typed
    const char* rotationNotChanged;  // "{}": the rotation timer's problem

    // Adding several files.
    const char* addingProgress;
    const char* notAddedHeading;
    const char* notAddedMore;

    // File dialog filters: "Name|pattern;pattern|Name|pattern...".
    const char* openPictureFilter;
    const char* savePictureFilter;
    const char* openCollectionFilter;

    // The button of a message box that opens its long form (worded as Qt's own box).
    const char* showDetailsButton;
};

// The table in use: Chinese until useLanguage() says otherwise.
const TextTable& texts();
// Switches this table and the wallpaper command's to the language, for everything
// shown from now on.
void useLanguage(Language language);
Language languageInUse();

// text with each "{}" replaced by the next of values, in order.
std::string fillIn(const char* text, std::initializer_list<std::string> values);

// A byte count as the trash dialog shows it: "850 KB", "12.3 MB".
std::string sizeText(std::int64_t bytes);

}  // namespace velmora
