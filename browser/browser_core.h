#pragma once
// What a window may ask of the browser's core, and all it may ask: the commands, the name
// list's rows and moves, what the picture area shows and reports, and files dropped. The
// store stays behind it. A main window holds the core as a BrowserCore; a viewer window
// gets only the CommandRunner, the same for the Qt and the Win32 viewer.

#include <optional>
#include <string>
#include <vector>

#include "browser/commands.h"
#include "browser/neighbour_preloader.h"

namespace velmora {

class CommandRunner {
public:
    // Runs the command a control of the command table starts, when it is available: one
    // that is not does nothing, whoever asks.
    virtual void run(CommandId command) = 0;

protected:
    ~CommandRunner() = default;
};

// The indicator of a row in the name list.
enum class RowMarker { None, Current, Editing, Inserting };

class BrowserCore : public CommandRunner {
public:
    // The name list: its rows, and the ordinary moves of the record cursor its keys make.
    virtual int rowCount() const = 0;
    virtual std::optional<std::string> rowName(int row) = 0;
    virtual int currentRow() const = 0;
    virtual RowMarker rowMarker(int row) const = 0;
    virtual void moveToRow(int row) = 0;
    virtual void moveBy(int rows) = 0;
    virtual void moveToFirst() = 0;
    virtual void moveToLast() = 0;

    // The picture area: a click opens the viewer; a display bitmap decoded ahead for the
    // current record (waiting when the worker is making it now); a paint has put the
    // picture on screen; an error found while painting, reported as the default handler does.
    virtual void openViewer() = 0;
    virtual std::optional<PreloadedPicture> takeAheadPicture() = 0;
    virtual void pictureShown() = 0;
    virtual void reportError(const std::string& message) = 0;

    // True when paths hold a picture file to add or one picture data file to open.
    virtual bool acceptsDrop(const std::vector<std::string>& paths) const = 0;
    // Adds the dropped picture files or opens the dropped data file, once the drop has
    // returned (the program the files came from is not kept waiting).
    virtual void drop(const std::vector<std::string>& paths) = 0;

    // The socket the view watches (BrowserView::watchChanges) is readable, or the view's
    // timer ticked: reads what other clients changed, and the window follows shortly.
    virtual void changesMayHaveArrived() = 0;

protected:
    ~BrowserCore() = default;
};

}  // namespace velmora
