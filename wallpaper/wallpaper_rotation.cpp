#include "wallpaper/wallpaper_rotation.h"

#include <algorithm>
#include <random>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/database/server_address.h"
#include "wallpaper/change_hold.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/rotation_rows.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

using namespace platform;

// Hands the wallpaper on, and keeps the rest of the desktop as it is: a timer that
// minimised every window each half hour would be a nuisance, and nothing is shown
// that needs the pause.
class WindowlessDesktop : public Desktop {
public:
    explicit WindowlessDesktop(Desktop& desktop) : desktop_(desktop) {}
    bool setWallpaper(const std::string& path) override { return desktop_.setWallpaper(path); }
    void setWallpaperLayout(const WallpaperLayout& layout) override { desktop_.setWallpaperLayout(layout); }
    void setWallpaperPixels(WallpaperPixels pixels) override { desktop_.setWallpaperPixels(std::move(pixels)); }
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override { return desktop_.mapVirtualKey(code, mapType); }
    void keyboardEvent(std::uint8_t, std::uint8_t, std::uint32_t, std::uintptr_t) override {}
    void sleep(unsigned) override {}
    bool shellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                      unsigned showCommand) override {
        return desktop_.shellExecute(verb, file, parameters, showCommand);
    }

private:
    Desktop& desktop_;
};

// No windows: the command's own message becomes the error of the run.
class NoWindows : public WallpaperWindows {
public:
    void showMessage(const std::string& text) override { message = text; }
    void hideMainWindow() override {}
    void hideAndCloseViewer() override {}
    void showAndRaiseMainWindow() override {}

    std::string message;
};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The collection opened for one change: its names, and its rows as the rotation sees them.
class Collection {
public:
    explicit Collection(const std::string& path) : path_(shownCollectionName(path)), pictures_(connection_) {
        connection_.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path +
                                        ";Persist Security Info=False");
        try {
            pictures_.activate();
        } catch (const Error& e) {
            throw Error("Cannot open the picture data file " + quoted(path_) + ": " + e.what());
        }
        for (int row = 0; row < pictures_.recordCount(); ++row) names_.push_back(pictures_.displayName(row));
        if (names_.empty()) throw Error("The picture data file " + quoted(path_) + " holds no pictures");
        rows_.emplace(pictures_, connection_.database());
    }

    const std::vector<std::optional<std::string>>& names() const { return names_; }
    [[noreturn]] void allLeftOut() const {
        throw Error("Every picture of " + quoted(path_) + " is left out of rotation");
    }
    PictureQuery& pictures() { return pictures_; }
    RotationRows& rows() { return *rows_; }
    RotationState& state() { return rows_->state(); }

    std::size_t named(const std::string& name) const {
        auto found = std::find(names_.begin(), names_.end(), name);
        if (found == names_.end()) throw Error("No picture named " + quoted(name) + " in " + quoted(path_));
        return static_cast<std::size_t>(found - names_.begin());
    }
    // The first row named so, if any.
    std::optional<std::size_t> find(const std::string& name) const {
        auto found = std::find(names_.begin(), names_.end(), name);
        if (name.empty() || found == names_.end()) return std::nullopt;
        return static_cast<std::size_t>(found - names_.begin());
    }

    const std::vector<std::string>& keys() { return rows_->keys(); }
    bool eligible(std::size_t row) { return rows_->eligible(row); }
    std::optional<std::size_t> rowOfKey(const std::string& key) { return rows_->rowOfKey(key); }
    std::string confirmedKey(std::size_t row) { return rows_->confirmedKey(row); }

private:
    std::string path_;
    Connection connection_;
    PictureQuery pictures_;
    std::vector<std::optional<std::string>> names_;
    std::optional<RotationRows> rows_;  // once the file is open
};


// From `start` onwards (step +1 or -1, wrapping round), the first row the rotation may show.
std::size_t firstEligible(Collection& collection, std::size_t start, int direction) {
    const std::size_t count = collection.names().size();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t row = (start + count + direction * static_cast<std::ptrdiff_t>(i)) % count;
        if (collection.eligible(row)) return row;
    }
    collection.allLeftOut();
}

std::size_t nextInTurn(Collection& collection, const std::string& remembered) {
    std::size_t after = recordAfter(collection.names(), remembered);
    // Without any rotation state this is the record after, as it always was.
    return collection.state().inUse() ? firstEligible(collection, after, +1) : after;
}

std::size_t previousInTurn(Collection& collection, const std::string& remembered) {
    const std::size_t count = collection.names().size();
    std::optional<std::size_t> current = collection.find(remembered);
    std::size_t before = current ? (*current + count - 1) % count : count - 1;
    return collection.state().inUse() ? firstEligible(collection, before, -1) : before;
}

std::size_t nextShuffled(Collection& collection, const std::string& remembered, std::int64_t& round) {
    RotationState& state = collection.state();
    state.prepare();
    round = state.round();
    const std::optional<std::size_t> current = collection.find(remembered);
    const std::string currentKey = current ? collection.confirmedKey(*current) : "";
    std::vector<std::size_t> fresh, all;
    for (std::size_t row = 0; row < collection.names().size(); ++row) {
        if (!collection.eligible(row)) continue;
        const std::string& key = collection.keys()[row];
        // A picture held by two rows is one picture.
        if (collection.rows().repeatsEarlierRow(row)) continue;
        all.push_back(row);
        if (state.shownRound(key) != round && key != currentKey) fresh.push_back(row);
    }
    if (all.empty()) collection.allLeftOut();
    if (fresh.empty()) {
        // Every picture has been shown: a new round, which starts with another than the current one.
        ++round;
        for (std::size_t row : all)
            if (collection.keys()[row] != currentKey || all.size() == 1) fresh.push_back(row);
    }
    std::random_device entropy;
    std::mt19937 generator(entropy());
    return fresh[std::uniform_int_distribution<std::size_t>(0, fresh.size() - 1)(generator)];
}

// The row shown before the current wallpaper, from what Next recorded; nothing when
// the record does not reach it (another change came between, or nothing was recorded).
std::optional<std::size_t> previousShown(Collection& collection, const std::string& remembered, int& undo) {
    const std::optional<std::size_t> current = collection.find(remembered);
    std::vector<HistoryEntry> latest = collection.state().latestShown(50);
    if (!current || latest.empty() || latest[0].key != collection.keys()[*current]) return std::nullopt;
    for (std::size_t i = 1; i < latest.size(); ++i) {
        std::optional<std::size_t> row = collection.rowOfKey(latest[i].key);
        if (row && collection.eligible(*row)) {
            undo = static_cast<int>(i);
            return row;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string rememberedWallpaperName(Registry& registry) {
    OpenRegistryKey key(registry);
    if (registry.openKey(kHkeyCurrentUser, registryKeyPath(kWallpaperKey), kKeyQueryAndEnumerate, key.handle()) != 0)
        return "";
    return readRegistryString(registry, key.key(), kWallpaperValue);
}

std::size_t recordAfter(const std::vector<std::optional<std::string>>& names, const std::string& remembered) {
    auto found = std::find(names.begin(), names.end(), std::optional<std::string>(remembered));
    if (remembered.empty() || found == names.end()) return 0;
    return static_cast<std::size_t>(found - names.begin() + 1) % names.size();
}

std::string changeWallpaper(const std::string& path, const WallpaperChoice& choice, const WallpaperSettings& settings,
                            const Platform& platform) {
    // The choice, the change and its mark as one step: a second change waits, then
    // starts from the wallpaper and the marks this one leaves.
    WallpaperChangeHold hold(platform.wallpaperLock);
    Collection collection(path);
    RotationState& state = collection.state();
    std::size_t index = 0;
    std::int64_t round = 0;  // Next shuffled: the round the picture is shown in
    int undo = 0;            // Previous: how many recorded steps it takes back
    std::string remembered;
    if (choice.step == WallpaperStep::Named) {
        index = collection.named(choice.name);
    } else {
        remembered = rememberedWallpaperName(platform.registry);
        if (choice.step == WallpaperStep::Previous) {
            std::optional<std::size_t> shown = state.inUse() ? previousShown(collection, remembered, undo) : std::nullopt;
            index = shown ? *shown : previousInTurn(collection, remembered);
        } else if (settings.order == RotationOrder::Shuffle) {
            index = nextShuffled(collection, remembered, round);
        } else {
            index = nextInTurn(collection, remembered);
        }
    }
    PictureQuery& pictures = collection.pictures();
    pictures.first();
    pictures.moveBy(static_cast<int>(index));

    Field picture = pictures.fieldByName("picture");
    JpegPicture displayed;
    if (!picture.isNull()) displayed.readStored(picture.asBytes());
    WallpaperRequest request{WallpaperVariant::MainWindow, picture.isNull(), &displayed,
                             collection.names()[index].value_or("")};
    std::vector<std::size_t> monitorRows;
    const WallpaperLayout layout =
        picture.isNull() ? settings.layout()
                         : wallpaperLayoutFor(settings, collection.rows(), index, platform, round, &monitorRows);
    WindowlessDesktop desktop(platform.desktop);
    desktop.setWallpaperLayout(layout);
    NoWindows windows;
    // Without the lock, which is held already.
    setToDesktop(request, Platform{platform.registry, platform.files, desktop, nullptr}, windows);
    if (!windows.message.empty()) throw Error(windows.message);

    if (round != 0 || undo != 0) {
        // Only a picture's own bytes mark it as shown, never a cached key.
        std::vector<std::string> shownKeys;
        const std::optional<std::size_t> before = collection.find(remembered);
        if (round != 0) {
            shownKeys.push_back(before ? collection.confirmedKey(*before) : "");
            shownKeys.push_back(collection.confirmedKey(index));
            for (std::size_t row : monitorRows) shownKeys.push_back(row != index ? collection.confirmedKey(row) : "");
        }
        state.begin();
        try {
            for (int i = 0; i < undo; ++i) state.undoLatestShown();
            if (round != 0) {
                // What was on show before has been seen in this round, and is where Previous comes back to.
                std::vector<HistoryEntry> latest = state.latestShown(1);
                if (!shownKeys[0].empty() && (latest.empty() || latest[0].key != shownKeys[0]))
                    state.recordShown(shownKeys[0], round);
                state.recordShown(shownKeys[1], round);
                // The other monitors' pictures have been seen in this round too.
                for (std::size_t i = 2; i < shownKeys.size(); ++i)
                    if (!shownKeys[i].empty()) state.markShown(shownKeys[i], round);
            }
            state.commit();
        } catch (...) {
            state.rollback();
            throw;
        }
    }
    return request.name;
}

std::string setWallpaperFromFile(const std::string& path, const std::optional<std::string>& name,
                                 const Platform& platform) {
    WallpaperChoice choice;
    if (name) choice = {WallpaperStep::Named, *name};
    return changeWallpaper(path, choice, WallpaperSettings{}, platform);
}

void setLeftOutOfRotation(const std::string& path, const std::string& name, bool leftOut) {
    Collection collection(path);
    if (!collection.rows().setLeftOut(collection.named(name), leftOut))
        throw Error("The picture " + quoted(name) + " has no picture data");
}

}  // namespace velmora
