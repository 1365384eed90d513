// Creation, the guard, the command dispatch, the display of the current record and
// the availability rules.
#include "browser/collection_browser.h"

#include <new>

#include "browser/file_names.h"
#include "browser/thumbnail_form.h"
#include "platform/language_setting.h"
#include "platform/message_text.h"

namespace velmora {

std::string connectionStringFor(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path + ";Persist Security Info=False";
}

CollectionBrowser::CollectionBrowser(BrowserServices services, BrowserView& view)
    : services_(std::move(services)), view_(view) {
    dataSource_.attachDisplay(
        [this](const Field*) { showCurrentName(); },
        [this] {
            currentName_.clear();
            view_.setCurrentName(currentName_);
            view_.refreshNameList();
            if (thumbnails_) thumbnails_->followCursor();
        });
    dataSource_.setOnDataChange([this](const Field*) { followCurrentRecord(); });
    preloads_.setEnabled(true);
    preloads_.setOnCurrentReady([this] { guard([this] { showCurrentPicture(); }); });
}

CollectionBrowser::~CollectionBrowser() {
    // The query's sinks call the view: close it while both are still there.
    thumbnails_.reset();
    preloads_.setEnabled(false);
    connection_.close();
}

bool CollectionBrowser::guard(const std::function<void()>& command) {
    struct Running {
        CollectionBrowser& browser;
        explicit Running(CollectionBrowser& b) : browser(b) { ++browser.commandDepth_; }
        ~Running() {
            if (--browser.commandDepth_ == 0) browser.followConnection();
        }
    } running{*this};
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        reportError(texts().outOfMemory);
    } catch (const std::exception& error) {
        reportError(error.what());
    } catch (...) {
        reportError(texts().unknownError);
    }
    return false;
}

void CollectionBrowser::reportError(const std::string& message) {
    view_.showMessage(MessageKind::Error, platform::withClosingFullStop(message));
}

void CollectionBrowser::start(const std::optional<std::string>& startFile) {
    title_ = texts().applicationTitle;
    view_.setTitle(title_);
    view_.setCountText(texts().countDesign);
    states_ = withUndo(states_);
    view_.setCommandStates(states_);
    nameEntry_.clearAccepted();
    guard([&] { startFile ? openStartCollection(*startFile) : openDefaultCollection(); });
}

void CollectionBrowser::run(CommandId command) {
    using Method = void (CollectionBrowser::*)();
    static constexpr std::pair<CommandId, Method> kMethods[] = {
        {CommandId::Previous, &CollectionBrowser::previous},
        {CommandId::Next, &CollectionBrowser::next},
        {CommandId::Delete, &CollectionBrowser::deletePicture},
        {CommandId::SetAsWallpaper, &CollectionBrowser::setAsWallpaper},
        {CommandId::WebSite, &CollectionBrowser::openWebSite},
        {CommandId::Quit, &CollectionBrowser::quit},
        {CommandId::AddFromFile, &CollectionBrowser::addFromFiles},
        {CommandId::Save, &CollectionBrowser::save},
        {CommandId::NewCollection, &CollectionBrowser::newCollection},
        {CommandId::OpenCollection, &CollectionBrowser::openCollection},
        {CommandId::OpenServerCollection, &CollectionBrowser::openServer},
        {CommandId::Rename, &CollectionBrowser::rename},
        {CommandId::ShowAll, &CollectionBrowser::showAll},
        {CommandId::FilterByName, &CollectionBrowser::filterByName},
        {CommandId::Copy, &CollectionBrowser::copy},
        {CommandId::Cut, &CollectionBrowser::cut},
        {CommandId::Paste, &CollectionBrowser::paste},
        {CommandId::ViewerWallpaper, &CollectionBrowser::setViewerAsWallpaper},
        {CommandId::CloseViewer, &CollectionBrowser::closeViewer},
        {CommandId::Undo, &CollectionBrowser::undo},
        {CommandId::Trash, &CollectionBrowser::openTrash},
        {CommandId::WallpaperSettings, &CollectionBrowser::openWallpaperSettings},
        {CommandId::Thumbnails, &CollectionBrowser::openThumbnails},
        {CommandId::ChineseInterface, &CollectionBrowser::chooseChinese},
        {CommandId::EnglishInterface, &CollectionBrowser::chooseEnglish},
        {CommandId::OpenViewer, &CollectionBrowser::openViewer},
        {CommandId::ViewerPrevious, &CollectionBrowser::viewerPrevious},
        {CommandId::ViewerNext, &CollectionBrowser::viewerNext},
    };
    // A command that is not available does nothing, whoever asks for it.
    if (!states_.enabled(groupOf(command))) return;
    for (const auto& [id, method] : kMethods) {
        if (id == command) return (this->*method)();
    }
}

void CollectionBrowser::chooseChinese() { chooseLanguage(Language::Chinese); }

void CollectionBrowser::chooseEnglish() { chooseLanguage(Language::English); }

void CollectionBrowser::chooseLanguage(Language language) {
    guard([&] {
        if (services_.languageSetting) platform::saveLanguageSetting(*services_.languageSetting, language);
        chosenLanguage_ = language;
        setStates(states_);
    });
}

RowMarker CollectionBrowser::rowMarker(int row) const {
    if (row != query_.currentRow()) return RowMarker::None;
    switch (query_.state()) {
    case DatasetState::Insert: return RowMarker::Inserting;
    case DatasetState::Edit: return RowMarker::Editing;
    default: return RowMarker::Current;
    }
}

bool CollectionBrowser::currentPictureIsNull() { return query_.fieldByName("picture").isNull(); }

JpegPicture CollectionBrowser::currentPicture() {
    Field field = query_.fieldByName("picture");
    JpegPicture picture;
    if (std::optional<DeferredBytes> deferred = field.deferredBytes()) {
        picture.readStored(*deferred);  // the headers only, until the picture is drawn
    } else {
        picture.readStored(field.asBytes());
    }
    return picture;
}

void CollectionBrowser::showCurrentPicture() {
    if (currentPictureIsNull()) return;
    JpegPicture picture = currentPicture();
    std::optional<std::string> decoderError;
    if (std::optional<PreloadedPicture> preloaded = preloads_.take(false); preloaded && preloaded->made()) {
        picture.adoptDisplayBitmap(std::move(preloaded->display), preloaded->error.has_value());
        decoderError = std::move(preloaded->error);
    }
    shown_ = picture;
    view_.showPicture(picture, std::move(decoderError));
}

void CollectionBrowser::clearShownPicture() {
    shown_.reset();
    view_.clearPicture();
}

void CollectionBrowser::showCurrentName() {
    const int row = query_.currentRow();
    const std::optional<std::string> name = row >= 0 ? query_.displayName(row) : std::nullopt;
    currentName_ = name.value_or("");
    view_.setCurrentName(currentName_);
    view_.refreshNameList();
    if (thumbnails_) thumbnails_->followCursor();
}

void CollectionBrowser::followCurrentRecord() {
    if (currentPictureIsNull()) {
        setNavigation(false, false);
        return;
    }
    showCurrentPicture();
    followCursorFlags();
}

void CollectionBrowser::followCursorFlags() {
    // At-start is tested first: with both flags set, only next is available.
    if (query_.atStart()) {
        setNavigation(false, true);
    } else if (query_.atEnd()) {
        setNavigation(true, false);
    } else {
        setNavigation(true, true);
    }
}

void CollectionBrowser::setStates(const CommandStates& states) {
    const CommandStates next = withUndo(states);
    if (next == states_) return;
    states_ = next;
    view_.setCommandStates(states_);
}

void CollectionBrowser::setNavigation(bool previous, bool next) {
    setStates({.previous = previous, .next = next, .pictureCommands = states_.pictureCommands});
}

void CollectionBrowser::updateCountLabel() { view_.setCountText(fillIn(texts().countLabel, {std::to_string(pictureCount_)})); }

void CollectionBrowser::applyEmptyFileRule() {
    clearShownPicture();
    setStates({.previous = false, .next = false, .pictureCommands = false});
    pictureCount_ = 0;
    updateCountLabel();
}

void CollectionBrowser::applyLoadedFileRule() {
    showCurrentPicture();
    preloads_.decodeCurrentAhead();
    pictureCount_ = query_.recordCount();
    setStates({.previous = false, .next = true, .pictureCommands = true});
    updateCountLabel();
}

void CollectionBrowser::applyFileRule() {
    if (currentPictureIsNull()) {
        applyEmptyFileRule();
    } else {
        applyLoadedFileRule();
    }
}

void CollectionBrowser::applyAddedPictureRule(int added) {
    pictureCount_ += added;
    updateCountLabel();
    setStates({.previous = true, .next = false, .pictureCommands = true});
}

void CollectionBrowser::previous() {
    guard([this] {
        if (currentPictureIsNull()) return;
        setNavigation(states_.previous, true);
        query_.activate();
        query_.prior();
        showCurrentPicture();
        if (query_.atStart()) setNavigation(false, states_.next);
    });
}

void CollectionBrowser::next() {
    guard([this] {
        if (currentPictureIsNull()) return;
        setNavigation(true, states_.next);
        query_.activate();
        query_.next();
        showCurrentPicture();
        if (query_.atEnd()) setNavigation(states_.previous, false);
    });
}

void CollectionBrowser::moveToRow(int row) {
    const int current = query_.currentRow();
    if (row < 0 || row == current || !query_.active()) return;
    guard([&] { query_.moveBy(row - current); });
}

void CollectionBrowser::moveBy(int rows) {
    // A closed query shows no rows: there is nothing to move through.
    if (query_.active()) guard([&] { query_.moveBy(rows); });
}

void CollectionBrowser::moveToFirst() {
    if (query_.active()) guard([this] { query_.first(); });
}

void CollectionBrowser::moveToLast() {
    if (query_.active()) guard([this] { query_.last(); });
}

void CollectionBrowser::openWebSite() {
    if (services_.openUrl) guard([this] { services_.openUrl(kWebSiteAddress); });
}

void CollectionBrowser::quit() { view_.closeMainWindow(); }

void CollectionBrowser::closeViewer() { view_.closeViewer(); }

}  // namespace velmora
