#include "store/database/collection_copy_rows.h"

#include <algorithm>
#include <unordered_map>

#include "store/database/collection_store.h"
#include "store/database/own_tables.h"

namespace velmora {

CopiedRows copyCollectionRows(CollectionStore& from, NewCollection& to,
                              const std::function<void(const CopiedRows&)>& told) {
    CopiedRows copied;
    std::unordered_map<std::int64_t, std::int64_t> newKeys;
    from.walk(
        [&](std::int64_t key, const std::vector<FieldValue>& values) {
            newKeys[key] = to.insert(values);
            ++copied.pictures;
            for (const FieldValue& value : values) {
                if (auto blob = std::get_if<SharedBytes>(&value.value)) copied.bytes += *blob ? (*blob)->size() : 0;
            }
            if (told) told(copied);
        },
        [&](const OwnTable& table, const std::vector<FieldValue>& values) {
            if (table.pictureKeyUse == PictureKeyUse::None) return to.insertKept(table, values);
            const std::vector<ColumnContract>& columns = table.contract.columns;
            const auto at = static_cast<std::size_t>(
                std::find_if(columns.begin(), columns.end(), [&](const ColumnContract& c) { return c.name == table.pictureKey; }) -
                columns.begin());
            std::vector<FieldValue> mapped = values;
            if (table.pictureKeyUse == PictureKeyUse::Cleared) {
                mapped[at] = FieldValue{};
            } else {
                const auto* key = std::get_if<std::int64_t>(&values[at].value);
                auto found = key ? newKeys.find(*key) : newKeys.end();
                if (found == newKeys.end()) return;
                mapped[at] = FieldValue{found->second};
            }
            to.insertKept(table, mapped);
        });
    return copied;
}

}  // namespace velmora
