#include "browser/undo_history.h"

#include "browser/texts.h"

namespace velmora {

std::string UndoHistory::caption() const {
    if (!step_) return "";
    switch (step_->kind) {
    case UndoStep::Kind::Delete: return fillIn(texts().undoDeleteItem, {step_->name});
    case UndoStep::Kind::Cut: return fillIn(texts().undoCutItem, {step_->name});
    case UndoStep::Kind::Rename: return fillIn(texts().undoRenameItem, {step_->name});
    case UndoStep::Kind::DeleteMany:
        return fillIn(texts().undoDeleteManyItem, {std::to_string(step_->trashedMany.size())});
    case UndoStep::Kind::Add:
        return step_->added.size() == 1 ? fillIn(texts().undoAddItem, {step_->name})
                                        : fillIn(texts().undoAddManyItem, {std::to_string(step_->added.size())});
    }
    return "";
}

}  // namespace velmora
