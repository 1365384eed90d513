#include "tests/support/recording_view.h"

#include <filesystem>
#include <utility>

namespace velmora::test {

namespace {

class RecordingProgress : public Progress {
public:
    explicit RecordingProgress(RecordingView& view) : view_(view) {}
    bool advance(int done, const std::string& label) override {
        view_.progressLabels.push_back(label);
        return done != view_.cancelProgressAt;
    }

private:
    RecordingView& view_;
};

std::filesystem::path fromUtf8(const std::string& text) { return std::u8string(text.begin(), text.end()); }

}  // namespace

std::string RecordingView::boxTexts() const {
    std::string joined;
    for (const SeenBox& box : boxes) joined += (joined.empty() ? "" : " | ") + box.text;
    return joined;
}

void RecordingView::runPosted() {
    for (;;) {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(postedMutex_);
            tasks.swap(posted_);
        }
        if (tasks.empty()) return;
        for (auto& task : tasks) task();
    }
}

void RecordingView::showPicture(const JpegPicture& shown, std::optional<std::string> decoderError) {
    picture = shown;
    pictureError = std::move(decoderError);
}

void RecordingView::clearPicture() {
    picture.reset();
    pictureError.reset();
}

void RecordingView::askText(const TextRequest& request) {
    dialogs.push_back({request.dialog, request.text});
    for (;;) {
        if (dialogAnswers.empty()) {
            ++unexpected;
            return;
        }
        const DialogAnswer answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        if (!answer.ok || request.accept(answer.text.value_or(request.text))) return;
    }
}

std::vector<std::string> RecordingView::chooseFiles(FileDialogKind kind, FileDialogSettings& settings) {
    fileDialogs.push_back(settings);
    if (fileAnswers.empty()) {
        ++unexpected;
        return {};
    }
    std::vector<std::string> chosen = fileAnswers.front();
    fileAnswers.pop_front();
    if (chosen.empty()) return chosen;
    // A save dialog adds the default extension to a name typed without one.
    if (kind == FileDialogKind::Save && !settings.defaultExt.empty() && !fromUtf8(chosen[0]).has_extension()) {
        chosen[0] += settings.defaultExt;
    }
    // As the system dialogs do, the chosen file's folder becomes the current directory.
    std::error_code missingFolder;
    std::filesystem::current_path(fromUtf8(chosen[0]).parent_path(), missingFolder);
    return chosen;
}

bool RecordingView::confirm(const std::string& question) {
    boxes.push_back({BoxKind::Confirm, question, {}});
    if (confirmAnswers.empty()) {
        ++unexpected;
        return false;
    }
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

void RecordingView::showMessage(MessageKind kind, const std::string& text, const std::string& details) {
    const BoxKind box = kind == MessageKind::Condition ? BoxKind::Condition
                        : kind == MessageKind::Error   ? BoxKind::Error
                                                       : BoxKind::NotAdded;
    boxes.push_back({box, text, details});
}

std::unique_ptr<Progress> RecordingView::startProgress(int) { return std::make_unique<RecordingProgress>(*this); }

void RecordingView::showViewer(const ViewerContent& content) {
    viewers.push_back(content);
    viewerOpen_ = true;
    if (auto action = std::exchange(whileViewerOpen, nullptr)) action();
    viewerOpen_ = false;
}

void RecordingView::closeViewer() {
    if (viewerOpen_) windowSteps.push_back("close viewer");
}

void RecordingView::post(std::function<void()> task) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(task));
}

}  // namespace velmora::test
