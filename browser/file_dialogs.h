#pragma once
// The main window's three file dialogs. Their settings live with the window for the
// whole run; showing one goes through FileDialogs, so tests can script the answers.

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace velmora {

struct FileDialogSettings {
    std::string filter;        // "Name|pattern;pattern|Name|pattern..."
    int filterIndex = 1;       // 1-based, as selected
    std::string defaultExt;    // ".jpg" or empty
    std::string fileName;
    std::string initialDir;
    std::string title;
    bool overwritePrompt = false;
    bool picturePreview = false;
};

enum class FileDialogKind { Open, Save };

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Shows the dialog; returns the chosen full path, or nullopt when cancelled. Updates
    // settings.filterIndex to the file type selected.
    virtual std::optional<std::string> execute(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings) = 0;
    // An open dialog in which several existing files can be chosen; returns their full
    // paths in the order given, empty when cancelled. By default one file, as execute().
    virtual std::vector<std::string> executeOpenMany(QWidget* parent, FileDialogSettings& settings);
};

// The Qt file dialogs. Choosing a file moves the process's current directory to its
// folder, as the system dialogs do.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<std::string> execute(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings) override;
    std::vector<std::string> executeOpenMany(QWidget* parent, FileDialogSettings& settings) override;

private:
    // Shows a dialog set up from settings; the chosen files, empty when cancelled.
    std::vector<std::string> run(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings, bool many);
};

}  // namespace velmora
