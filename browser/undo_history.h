#pragma once
// The last change of the run that can be undone (a delete, cut, rename or add), with what
// finds the rows it changed, and the undo item's caption naming it. Undoing the step is
// the browser's: the history only keeps it, and forgets it when the file is left.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/database/field_value.h"
#include "store/database/picture_query.h"
#include "store/database/picture_trash.h"

namespace velmora {

struct UndoStep {
    enum class Kind { Delete, Cut, Rename, Add, DeleteMany };
    Kind kind = Kind::Delete;
    std::string name{};                              // as the caption names it
    TrashEntry trashed{};                            // Delete, Cut
    PictureQuery::RowIdentity renamed{};             // Rename: the row as renamed
    FieldValue previousName{};                       // Rename
    std::vector<PictureQuery::RowIdentity> added{};  // Add: the rows added
    std::vector<TrashEntry> trashedMany{};           // DeleteMany, in the order deleted
};

class UndoHistory {
public:
    void remember(UndoStep step) { step_ = std::move(step); }
    void forget() { step_.reset(); }
    bool available() const { return step_.has_value(); }
    // The step, spent: undone or not, a second undo would act on a changed file.
    std::optional<UndoStep> take() { return std::exchange(step_, std::nullopt); }
    // The undo item's caption naming the step; "" with nothing to undo.
    std::string caption() const;

private:
    std::optional<UndoStep> step_;
};

}  // namespace velmora
