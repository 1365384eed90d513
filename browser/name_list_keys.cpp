#include "browser/name_list_keys.h"

#include "browser/browser_core.h"

namespace velmora {

NameListMove nameListMove(NameListKey key, bool ctrl, const VisibleRows& visible) {
    using enum NameListMove::Kind;
    const int page = visible.perPage > 0 ? visible.perPage : 1;
    switch (key) {
    case NameListKey::Up: return ctrl ? NameListMove{ToRow, visible.top} : NameListMove{By, -1};
    case NameListKey::Down: return ctrl ? NameListMove{ToRow, visible.bottom} : NameListMove{By, 1};
    case NameListKey::PageUp: return ctrl ? NameListMove{ToRow, visible.top} : NameListMove{By, -page};
    case NameListKey::PageDown: return ctrl ? NameListMove{ToRow, visible.bottom} : NameListMove{By, page};
    case NameListKey::Home: return {First};
    case NameListKey::End: return {Last};
    case NameListKey::Insert:
    case NameListKey::Delete: break;  // the list never inserts or deletes
    }
    return {};
}

void pressNameListKey(BrowserCore& browser, NameListKey key, bool ctrl, const VisibleRows& visible) {
    const NameListMove move = nameListMove(key, ctrl, visible);
    switch (move.kind) {
    case NameListMove::Kind::By: browser.moveBy(move.value); break;
    case NameListMove::Kind::ToRow: browser.moveToRow(move.value); break;
    case NameListMove::Kind::First: browser.moveToFirst(); break;
    case NameListMove::Kind::Last: browser.moveToLast(); break;
    case NameListMove::Kind::Nothing: break;
    }
}

}  // namespace velmora
