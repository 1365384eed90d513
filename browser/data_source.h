#pragma once
// The data source: binds the picture query to the name list, the name label and the main
// window's handler of record changes, and forwards edit requests with automatic edit.

#include <functional>

#include "store/database/picture_query.h"

namespace velmora {

class DataSource {
public:
    explicit DataSource(PictureQuery& query) : query_(query) {}
    PictureQuery& dataset() { return query_; }

    // Automatic edit: runs the query's edit only when it is in browse state.
    void edit() {
        if (query_.state() == DatasetState::Browse) query_.edit();
    }

    // Displays are updated before handlers on every notification.
    int attachDisplay(PictureQuery::ChangeSink onChange, PictureQuery::CloseSink onClose) {
        int id = query_.addChangeSink(std::move(onChange), true);
        closeIds_.push_back(query_.addCloseSink(std::move(onClose)));
        return id;
    }
    int setOnDataChange(PictureQuery::ChangeSink handler) {
        return query_.addChangeSink(std::move(handler), false);
    }

private:
    PictureQuery& query_;
    std::vector<int> closeIds_;
};

}  // namespace velmora
