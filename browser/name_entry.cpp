#include "browser/name_entry.h"

#include "browser/texts.h"

namespace velmora {

bool NameEntry::ask(BrowserView& view, int pictureCount) {
    accepted_ = false;
    view.askText({NameDialogKind::PictureName, fillIn(texts().proposedName, {std::to_string(pictureCount + 1)}),
                  [this, &view](const std::string& name) {
                      if (name.empty()) {
                          view.showMessage(MessageKind::Condition, texts().emptyPictureName);
                          return false;
                      }
                      accepted_ = true;
                      name_ = name;
                      return true;
                  }});
    return accepted_;
}

}  // namespace velmora
