// The window's picture query on a file and on a server from the same scenario: the
// rows in order, names first and bytes by key, writes aimed at a row by its key and
// what was read of it, the trash, and the name filter matching as a file's does.
#include <gtest/gtest.h>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/database/picture_trash.h"
#include "store/database/row_check.h"
#include "store/server/open_collection.h"
#include "tests/server/collection_places.h"
#include "tests/support/byte_text.h"

namespace velmora::test {
namespace {

// A collection holding these names, each picture its name's bytes.
std::string collectionOf(const std::string& place, const std::vector<std::string>& names) {
    std::unique_ptr<NewCollection> made =
        startCollection(place, {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes}});
    for (const std::string& name : names) made->insert({FieldValue{name}, FieldValue{sharedBytesOf(name)}});
    made->finish();
    return "Data Source=" + place;
}

std::vector<std::string> shownNames(PictureQuery& query) {
    std::vector<std::string> names;
    for (int row = 0; row < query.displayRowCount(); ++row) names.push_back(query.displayName(row).value_or("<null>"));
    return names;
}

class PictureQueryOnBoth : public OnFileAndServer {};

TEST_P(PictureQueryOnBoth, BrowsesWritesAndRefusesRowsAnotherClientChanged) {
    const std::string place = newPlace();
    Connection connection, other;
    connection.setConnectionString(collectionOf(place, {"sky", "Sea", "lake"}));
    other.setConnectionString(connection.connectionString());
    PictureQuery query(connection), theirs(other);
    query.open();
    theirs.open();
    EXPECT_EQ(shownNames(query), (std::vector<std::string>{"sky", "Sea", "lake"}));
    query.next();
    EXPECT_EQ(*query.fieldByName("picture").asBytes(), *sharedBytesOf("Sea"));

    // An append, an edit and a delete, each seen by the other client when it opens again.
    query.append();
    query.fieldByName("filename").setAsString("river");
    query.fieldByName("picture").writeBytes(sharedBytesOf("river"));
    query.post();
    query.first();
    query.edit();
    query.fieldByName("filename").setAsString("sky blue");
    query.post();
    const PictureQuery::RowIdentity mine = *query.currentIdentity();
    query.next();
    query.remove();
    theirs.close();
    theirs.open();
    EXPECT_EQ(shownNames(theirs), (std::vector<std::string>{"sky blue", "lake", "river"}));

    // A row the other client renamed or deleted is refused, never overwritten.
    theirs.edit();
    theirs.fieldByName("filename").setAsString("theirs");
    theirs.post();
    EXPECT_THROW(query.renameRow(mine, FieldValue{std::string("mine")}), Error);
    theirs.next();
    theirs.remove();
    query.first();
    query.next();
    EXPECT_THROW(query.remove(), Error);

    // The trash keeps a deleted picture and gives it back as the last record.
    query.first();
    const std::optional<TrashEntry> kept = query.moveToTrash();
    ASSERT_TRUE(kept);
    EXPECT_EQ(PictureTrash(connection).list().at(0).name, "theirs");
    query.restoreFromTrash(kept->id, kept);
    query.close();
    query.open();
    EXPECT_EQ(shownNames(query), (std::vector<std::string>{"river", "theirs"}));
    EXPECT_TRUE(PictureTrash(connection).list().empty());
}

TEST_P(PictureQueryOnBoth, TheFilterFoldsAsciiCaseOnlyAndKeepsItsWildcards) {
    Connection connection;
    connection.setConnectionString(collectionOf(newPlace(), {"Sea", "sea_2", "seaX2", "ÉTÉ", "été", "it's"}));
    PictureQuery query(connection);
    const struct {
        std::string typed;
        std::vector<std::string> found;
    } cases[] = {
        {"SEA", {"Sea", "sea_2", "seaX2"}}, {"a_2", {"sea_2", "seaX2"}}, {"été", {"été"}},
        {"'", {"it's"}},                    {"\\", {}},                  {"%", {"Sea", "sea_2", "seaX2", "ÉTÉ", "été", "it's"}},
    };
    for (const auto& c : cases) {
        query.setSql("select * from pictures where filename like '%' || ?1 || '%'\r\n", {c.typed});
        query.open();
        EXPECT_EQ(shownNames(query), c.found) << c.typed;
    }
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, PictureQueryOnBoth, ::testing::Values(Where::File, Where::Server), whereName);

}  // namespace
}  // namespace velmora::test
