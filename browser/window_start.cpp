#include "browser/window_start.h"

#include "browser/collection_browser.h"
#include "store/picture/jpeg_settings.h"

namespace velmora {

void startWindow(CollectionBrowser& browser, int screenBits, const std::optional<std::string>& startFile,
                 const std::function<void()>& show) {
    settleScreenDepth(screenBits);
    browser.start(startFile);
    show();
}

}  // namespace velmora
