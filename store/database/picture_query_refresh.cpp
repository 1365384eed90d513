// Running the picture query's statement again for what other clients changed, keeping
// the user's place.
#include <algorithm>

#include "base/error.h"

#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/database/sql_database.h"

namespace velmora {
namespace {

bool sameRowCheckValue(const FieldValue& a, const FieldValue& b) {
    return a.value.index() == b.value.index() && a.asString() == b.asString();
}

}  // namespace

PictureQuery::Refreshed PictureQuery::refresh() {
    ensureOpen();
    if (state_ != DatasetState::Browse) return {};
    std::vector<std::int64_t> keys = readKeys(connection_.database());

    const bool hadCurrent = current_ >= 0;
    const std::optional<RowCheck> shown =
        hadCurrent && rowCheck_ && rowCheck_->rowid == rowids_[static_cast<size_t>(current_)] ? rowCheck_ : std::nullopt;
    auto placeOf = [&keys](std::int64_t key) {
        auto found = std::find(keys.begin(), keys.end(), key);
        return found == keys.end() ? -1 : static_cast<int>(found - keys.begin());
    };
    int place = hadCurrent ? placeOf(rowids_[static_cast<size_t>(current_)]) : -1;
    const bool kept = place >= 0;
    if (!kept && !keys.empty()) {
        // Gone: the first later record still there becomes current, else the last, as
        // after a delete; on a list that was empty, the first, as at opening.
        place = static_cast<int>(keys.size()) - 1;
        for (std::size_t later = static_cast<std::size_t>(current_ + 1); hadCurrent && later < rowids_.size(); ++later) {
            if (int at = placeOf(rowids_[later]); at >= 0) {
                place = at;
                break;
            }
        }
        if (!hadCurrent) place = 0;
    }

    Refreshed found{keys != rowids_, !kept};
    const int last = static_cast<int>(keys.size()) - 1;
    if (kept) {
        atStart_ = atStart_ && place == 0;
        atEnd_ = atEnd_ && place == last;
    } else {
        atStart_ = hadCurrent ? keys.empty() : true;
        atEnd_ = keys.empty();
    }
    rowids_ = std::move(keys);
    current_ = place;
    if (kept) {
        // Renamed or given other bytes by another client: shown again, as it now is.
        try {
            readRowCheck();
        } catch (const Error&) {
            rowCheck_.reset();
        }
        found.current = !shown || !rowCheck_ || !sameRowCheckValue(shown->pictureLength, rowCheck_->pictureLength);
        // A new name alone is read again; the picture as read stays.
        if (!found.current && !sameRowCheckValue(shown->name, rowCheck_->name)) invalidateRow();
    }
    if (found.current) invalidateRow();
    return found;
}

}  // namespace velmora
