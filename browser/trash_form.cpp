#include "browser/trash_form.h"

#include <ctime>

namespace velmora {

std::string trashDateText(std::int64_t secondsSince1970) {
    const std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &time) != 0) return {};
#else
    if (!localtime_r(&time, &local)) return {};
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

TrashForm::TrashForm(const TrashRequest& request) : request_(request) { reload(); }

void TrashForm::reload() {
    const TrashContent content = request_.read();
    rows_.clear();
    ids_.clear();
    for (const TrashedPicture& picture : content.pictures) {
        rows_.push_back({picture.name, trashDateText(picture.deletedAt), sizeText(picture.size)});
        ids_.push_back(picture.id);
    }
    space_ = content.space;
    selected_ = rows_.empty() ? -1 : 0;
}

void TrashForm::select(int row) { selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1; }

bool TrashForm::restore() {
    if (!canRestore() || !request_.restore(ids_[static_cast<std::size_t>(selected_)])) return false;
    reload();
    return true;
}

bool TrashForm::deleteForever() {
    if (!canDeleteForever() || !request_.deleteForever(ids_[static_cast<std::size_t>(selected_)])) return false;
    reload();
    return true;
}

bool TrashForm::empty() {
    if (!request_.empty()) return false;
    reload();
    return true;
}

}  // namespace velmora
