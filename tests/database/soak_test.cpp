// Thousands of random commands (add, delete, rename, filter, show all, moves) against
// a plain model of the collection: the cursor shows the model's record after every
// command, and the file holds the model's records at the end.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

struct ModelRecord {
    std::string name;
    std::string picture;  // unique: it tells the records apart
};

class Model {
public:
    std::vector<ModelRecord> table;  // rowid order
    std::vector<std::string> result;  // pictures of the result set, in order
    int current = -1;

    ModelRecord* find(const std::string& picture) {
        for (auto& record : table) {
            if (record.picture == picture) return &record;
        }
        return nullptr;
    }
    void select(const std::string& text) {
        result.clear();
        for (const auto& record : table) {
            if (record.name.find(text) != std::string::npos) result.push_back(record.picture);
        }
        current = result.empty() ? -1 : 0;
    }
};

TEST(Soak, RandomCommandsKeepTheStoreAndAModelInStep) {
    TempDir dir;
    std::string path = dir.file("soak.vlm");
    createCollection(path);
    OpenStore s(path);
    s.query.activate();
    // Durability is another test's subject; here every commit need not reach the disk.
    sqlite3_exec(s.connection.handle(), "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);

    Model model;
    std::mt19937 random(14);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto randomName = [&] {
        std::string name;
        for (int i = 1 + pick(3); i > 0; --i) name += static_cast<char>('a' + pick(4));
        return name;
    };
    int serial = 0;
    const int kCommands = 3000;
    for (int step = 0; step < kCommands; ++step) {
        const int size = static_cast<int>(model.result.size());
        const int command = pick(10);
        SCOPED_TRACE("step " + std::to_string(step) + ", command " + std::to_string(command));
        if (command <= 1) {  // add
            ModelRecord record{randomName(), "picture " + std::to_string(serial++)};
            s.query.append();
            s.query.fieldByName("filename").setAsString(record.name);
            s.query.fieldByName("picture").writeBytes(shareBytes(Bytes(record.picture.begin(), record.picture.end())));
            s.query.post();
            model.table.push_back(record);
            model.result.push_back(record.picture);
            model.current = static_cast<int>(model.result.size()) - 1;
        } else if (command == 2 && size > 0) {  // delete
            std::string picture = model.result[static_cast<size_t>(model.current)];
            s.query.remove();
            std::erase_if(model.table, [&](const ModelRecord& r) { return r.picture == picture; });
            model.result.erase(model.result.begin() + model.current);
            model.current = std::min(model.current, static_cast<int>(model.result.size()) - 1);
        } else if (command == 3 && size > 0) {  // rename
            std::string name = randomName();
            s.query.edit();
            s.query.fieldByName("filename").setAsString(name);
            s.query.post();
            model.find(model.result[static_cast<size_t>(model.current)])->name = name;
        } else if (command == 4) {  // filter
            std::string text(1, static_cast<char>('a' + pick(4)));
            s.query.setSql("select * from pictures where filename like '%' || ?1 || '%'\r\n", {text});
            s.query.open();
            model.select(text);
        } else if (command == 5) {  // show all
            s.query.setSql("select * from pictures\r\n");
            s.query.open();
            model.select("");
        } else if (command == 6) {
            s.query.next();
            if (model.current + 1 < size) ++model.current;
        } else if (command == 7) {
            s.query.prior();
            if (model.current > 0) --model.current;
        } else if (command == 8) {
            s.query.first();
            model.current = size ? 0 : -1;
        } else if (command == 9) {
            s.query.last();
            model.current = size - 1;
        }

        ASSERT_EQ(s.query.recordCount(), static_cast<int>(model.result.size()));
        ASSERT_EQ(s.query.currentRow(), model.current);
        if (model.current >= 0) {
            const ModelRecord* expected = model.find(model.result[static_cast<size_t>(model.current)]);
            ASSERT_NE(expected, nullptr);
            SharedBytes picture = s.query.fieldByName("picture").asBytes();
            ASSERT_EQ(std::string(picture->begin(), picture->end()), expected->picture);
            ASSERT_EQ(s.current(), expected->name);
        } else {
            ASSERT_TRUE(s.query.fieldByName("picture").isNull());
        }
    }
    s.connection.close();
    std::vector<std::string> names;
    for (const auto& record : model.table) names.push_back(record.name);
    EXPECT_EQ(namesInFile(path), names);
    EXPECT_EQ(integrityOf(path), "ok");
}

}  // namespace
}  // namespace velmora::test
