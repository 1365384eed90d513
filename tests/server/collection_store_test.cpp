// The collection behind one interface, on a file and on a server from the same cases:
// every column carried, names first and bytes by key, duplicates by their bytes, a
// second client seeing what the first added, and a new collection all or nothing.
#include <gtest/gtest.h>

#include <charconv>

#include "base/error.h"
#include "store/server/open_collection.h"
#include "tests/server/collection_places.h"
#include "tests/support/byte_text.h"

namespace velmora::test {
namespace {

const std::vector<StoredColumn> kColumns = {{"filename", ColumnKind::Text},
                                            {"picture", ColumnKind::Bytes},
                                            {"note", ColumnKind::Text},
                                            {"rating", ColumnKind::Integer},
                                            {"weight", ColumnKind::Real}};

std::vector<FieldValue> row(std::optional<std::string> name, const std::string& picture, FieldValue note,
                            FieldValue rating, FieldValue weight) {
    return {name ? FieldValue{*name} : FieldValue{}, FieldValue{sharedBytesOf(picture)}, std::move(note),
            std::move(rating), std::move(weight)};
}

std::string textOf(const FieldValue& value) {
    if (value.isNull()) return "<null>";
    if (auto number = std::get_if<double>(&value.value)) {
        char text[32];
        return std::string(text, std::to_chars(text, text + sizeof text, *number).ptr);
    }
    return value.asString();
}

// Every row as text, nulls marked, so rows compare whole.
std::vector<std::string> rowsOf(CollectionStore& store) {
    std::vector<std::string> rows;
    store.eachRow([&](const std::vector<FieldValue>& values) {
        std::string line;
        for (const FieldValue& value : values) line += textOf(value) + "|";
        rows.push_back(line);
    });
    return rows;
}

std::vector<std::optional<std::string>> namesOf(CollectionStore& store) {
    std::vector<std::optional<std::string>> names;
    for (const StoredName& entry : store.names()) names.push_back(entry.name);
    return names;
}

using CollectionStoreTest = OnFileAndServer;

TEST_P(CollectionStoreTest, ANewCollectionKeepsEveryColumnAndAnswersByKey) {
    const std::string place = newPlace();
    {
        std::unique_ptr<NewCollection> made = startCollection(place, kColumns);
        made->insert(row("sky", "sky bytes", FieldValue{std::string("blue, 'quoted'")}, FieldValue{std::int64_t{5}},
                         FieldValue{0.1}));
        made->insert(row(std::nullopt, "", FieldValue{}, FieldValue{std::int64_t{-7}}, FieldValue{}));
        made->insert(row("sea", "sea bytes", FieldValue{std::string("海")}, FieldValue{}, FieldValue{2.5e300}));
        made->finish();
    }
    std::unique_ptr<CollectionStore> store = openCollection(place);
    EXPECT_EQ(namesOf(*store), (std::vector<std::optional<std::string>>{"sky", std::nullopt, "sea"}));
    ASSERT_EQ(store->columns().size(), kColumns.size());
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        EXPECT_EQ(store->columns()[i].name, kColumns[i].name);
        EXPECT_EQ(store->columns()[i].kind, kColumns[i].kind);
    }
    EXPECT_EQ(rowsOf(*store), (std::vector<std::string>{"sky|sky bytes|blue, 'quoted'|5|0.1|",
                                                        "<null>||<null>|-7|<null>|", "sea|sea bytes|海|<null>|2.5e+300|"}));

    const std::vector<StoredName> names = store->names();
    EXPECT_LT(names[0].key, names[1].key);
    EXPECT_EQ(*store->picture(names[2].key), *sharedBytesOf("sea bytes"));
    EXPECT_EQ(store->picture(names[2].key + 1000), nullptr);

    // Duplicates are found by their bytes alone; the first in order counts.
    EXPECT_EQ(store->storedCopyOf(sharedBytesOf("sea bytes")), "sea");
    EXPECT_EQ(store->storedCopyOf(sharedBytesOf("sea bytez")), std::nullopt);
    store->add("lake", sharedBytesOf("sea bytes"));
    store->add("sky again", sharedBytesOf("new bytes"));
    EXPECT_EQ(store->storedCopyOf(sharedBytesOf("new bytes")), "sky again");

    // Another client on the same collection sees the additions in order.
    std::unique_ptr<CollectionStore> other = openCollection(place);
    EXPECT_EQ(namesOf(*other),
              (std::vector<std::optional<std::string>>{"sky", std::nullopt, "sea", "lake", "sky again"}));
    EXPECT_EQ(*other->picture(other->names().back().key), *sharedBytesOf("new bytes"));
}

TEST_P(CollectionStoreTest, ANewCollectionNeverReplacesOneAndLeavesNothingUnfinished) {
    const std::string kept = newPlace();
    {
        std::unique_ptr<NewCollection> made = startCollection(kept, kColumns);
        made->insert(row("sky", "sky bytes", FieldValue{}, FieldValue{}, FieldValue{}));
        made->finish();
    }
    EXPECT_THROW(startCollection(kept, kColumns), Error);
    EXPECT_EQ(namesOf(*openCollection(kept)), (std::vector<std::optional<std::string>>{"sky"}));

    // Dropped before it was finished (a failed or interrupted copy): no collection there.
    const std::string dropped = newPlace();
    {
        std::unique_ptr<NewCollection> made = startCollection(dropped, kColumns);
        made->insert(row("sky", "sky bytes", FieldValue{}, FieldValue{}, FieldValue{}));
    }
    EXPECT_THROW(openCollection(dropped), Error);
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, CollectionStoreTest, ::testing::Values(Where::File, Where::Server), whereName);

}  // namespace
}  // namespace velmora::test
