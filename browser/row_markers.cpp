#include "browser/row_markers.h"

#include "browser/collection_browser.h"

namespace velmora {

const char* rowMarkerText(RowMarker marker) {
    switch (marker) {
    case RowMarker::Current: return "\u25B6";
    case RowMarker::Editing: return "I";
    case RowMarker::Inserting: return "*";
    case RowMarker::None: break;
    }
    return "";
}

}  // namespace velmora
