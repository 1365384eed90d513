#pragma once
// The glyph the name list's indicator column shows beside a row, for every window.

namespace velmora {

enum class RowMarker;

// "▶" the current row, "I" a row being edited, "*" a row being inserted, else "".
const char* rowMarkerText(RowMarker marker);

}  // namespace velmora
