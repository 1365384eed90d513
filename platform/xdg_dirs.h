#pragma once
// The user's folders by the XDG base-directory rules. A variable that is unset,
// empty or not absolute falls back to the default under $HOME.

#include <string>

namespace velmora::platform {

std::string homeDirectory();
std::string xdgConfigHome();  // $XDG_CONFIG_HOME or ~/.config
std::string xdgDataHome();    // $XDG_DATA_HOME or ~/.local/share
std::string xdgCacheHome();   // $XDG_CACHE_HOME or ~/.cache

}  // namespace velmora::platform
