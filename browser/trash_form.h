#pragma once
// The trash dialog's state, for every window: the rows as the list shows them, which
// row is selected, which buttons are available, and what a button does. The window
// shows rows() and space(), tells select() what the user picked, and lists the rows
// again when an action returns true.

#include <cstdint>
#include <string>
#include <vector>

#include "browser/browser_view.h"

namespace velmora {

class TrashForm {
public:
    struct Row {
        std::string name;
        std::string date;  // "yyyy-MM-dd HH:mm:ss", local time
        std::string size;  // "850 KB", "12.3 MB"
    };

    // Reads the trash at once; the newest row is selected.
    explicit TrashForm(const TrashRequest& request);

    const std::vector<Row>& rows() const { return rows_; }
    const std::string& space() const { return space_; }
    // The selected row; -1 for none.
    int selected() const { return selected_; }
    void select(int row);

    // Restore and delete forever act on the selected row; empty on the whole trash.
    bool canRestore() const { return selected_ >= 0; }
    bool canDeleteForever() const { return selected_ >= 0; }
    bool canEmpty() const { return !rows_.empty(); }

    // Each runs its command; true when the trash changed, and then the rows are read
    // again (the newest selected).
    bool restore();
    bool deleteForever();
    bool empty();

private:
    void reload();

    const TrashRequest& request_;
    std::vector<Row> rows_;
    std::vector<std::int64_t> ids_;
    std::string space_;
    int selected_ = -1;
};

// seconds since 1970 as the trash shows a date: "yyyy-MM-dd HH:mm:ss" in local time.
std::string trashDateText(std::int64_t secondsSince1970);

}  // namespace velmora
