// GNOME and its relatives, Cinnamon and MATE keep the wallpaper in GSettings.
#include <algorithm>

#include "platform/desktop_linux.h"
#include "platform/process_runner.h"
#include "platform/wallpaper_backends.h"

namespace velmora::platform {
namespace {

// Text as a GVariant string literal, so gsettings never reads it as something else.
std::string quoted(const std::string& text) {
    std::string literal = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\') literal += '\\';
        literal += c;
    }
    return literal + "'";
}

class Schema {
public:
    Schema(const DesktopServices& services, std::string name) : services_(services), name_(std::move(name)) {
        // Listing the keys is how a missing schema is found without opening it.
        if (auto listed = services_.output({"gsettings", "list-keys", name_})) keys_ = outputLines(*listed);
    }

    bool installed() const { return !keys_.empty(); }
    bool has(const std::string& key) const { return std::find(keys_.begin(), keys_.end(), key) != keys_.end(); }

    bool set(const std::string& key, const std::string& literal) const {
        return services_.run({"gsettings", "set", name_, key, literal});
    }
    bool setString(const std::string& key, const std::string& text) const { return set(key, quoted(text)); }

    // The chosen mode; without one, "none" (which hides the picture altogether) becomes
    // "zoom" where asked, and any other choice of the user stays.
    bool pictureOptions(std::optional<FitMode> fit, bool zoomWhenNone) const {
        if (fit) return has("picture-options") && set("picture-options", quoted(gsettingsPictureOption(*fit)));
        return !zoomWhenNone || this->zoomWhenNone();
    }

    bool zoomWhenNone() const {
        if (!has("picture-options")) return true;
        auto current = services_.output({"gsettings", "get", name_, "picture-options"});
        if (!current) return false;
        auto lines = outputLines(*current);
        return lines.empty() || lines[0] != "'none'" || set("picture-options", "'zoom'");
    }

private:
    const DesktopServices& services_;
    std::string name_;
    std::vector<std::string> keys_;
};

bool setPictureUri(const Schema& schema, const std::string& file, bool withDark, std::optional<FitMode> fit,
                   bool zoomWhenNone) {
    if (!schema.has("picture-uri")) return false;
    const std::string uri = fileUri(file);
    bool written = schema.setString("picture-uri", uri);
    // GNOME 42 and later show this one in the dark style.
    if (withDark && schema.has("picture-uri-dark")) written = schema.setString("picture-uri-dark", uri) && written;
    return schema.pictureOptions(fit, zoomWhenNone) && written;
}

}  // namespace

const char* gsettingsPictureOption(FitMode mode) {
    switch (mode) {
    case FitMode::Fill: return "zoom";
    case FitMode::Fit: return "scaled";
    case FitMode::Stretch: return "stretched";
    case FitMode::Center: return "centered";
    case FitMode::Tile: return "wallpaper";
    case FitMode::Span: return "spanned";
    }
    return "zoom";
}

bool setGnomeWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPictureUri(Schema(services, "org.gnome.desktop.background"), file, true, fit, true);
}

bool setCinnamonWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPictureUri(Schema(services, "org.cinnamon.desktop.background"), file, false, fit, true);
}

bool setMateWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    Schema schema(services, "org.mate.background");
    bool written = schema.has("picture-filename") && schema.setString("picture-filename", file);
    return schema.pictureOptions(fit, false) && written;
}

bool setGnomeLockScreen(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    return setPictureUri(Schema(services, "org.gnome.desktop.screensaver"), file, false, fit, false);
}

}  // namespace velmora::platform
