#pragma once
// The name list's keys, for every window: which keys move the record cursor and how.
// Only these keys move it; the list's own key handling (type-ahead among them) never
// does. A window turns its toolkit's key into a NameListKey and hands it here.

namespace velmora {

class BrowserCore;

enum class NameListKey { Up, Down, PageUp, PageDown, Home, End, Insert, Delete };

// The rows the list shows now: the top and bottom visible rows and how many fit.
struct VisibleRows {
    int top = 0;
    int bottom = 0;
    int perPage = 1;
};

// What a key does to the cursor.
struct NameListMove {
    enum class Kind { Nothing, By, ToRow, First, Last };
    Kind kind = Kind::Nothing;
    int value = 0;  // the rows to move by, or the row to move to
    bool operator==(const NameListMove&) const = default;
};

NameListMove nameListMove(NameListKey key, bool ctrl, const VisibleRows& visible);

// Moves the browser's cursor as key says.
void pressNameListKey(BrowserCore& browser, NameListKey key, bool ctrl, const VisibleRows& visible);

}  // namespace velmora
