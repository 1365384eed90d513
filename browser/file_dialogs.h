#pragma once
// The settings of the browser's three file dialogs, kept for the run: opening pictures,
// saving the current one, and opening a picture data file.

#include <string>

namespace velmora {

// The settings of one file dialog, as the view shows it.
struct FileDialogSettings {
    std::string filter;      // "Name|pattern;pattern|Name|pattern..."
    int filterIndex = 1;     // 1-based, as selected
    std::string defaultExt;  // ".jpg" or empty
    std::string fileName;
    std::string initialDir;
    std::string title;
    bool overwritePrompt = false;
    bool picturePreview = false;
};

class FileDialogs {
public:
    FileDialogs();

    FileDialogSettings openPicture;
    FileDialogSettings save;
    FileDialogSettings openCollection;

    // After a completed save the save dialog's texts are emptied and its filter set again:
    // from then on a name typed without an extension is written as typed.
    void saveCompleted();
};

}  // namespace velmora
