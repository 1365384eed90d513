#pragma once
// The cases that concern a collection run on a file and on a server database alike:
// a test of this fixture asks for new places and gets file paths or server addresses.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"

namespace velmora::test {

enum class Where { File, Server };

class OnFileAndServer : public ::testing::TestWithParam<Where> {
protected:
    void SetUp() override {
        if (GetParam() != Where::Server) return;
        std::string whyNot;
        server_ = testServer(whyNot);
        if (!server_) GTEST_SKIP() << whyNot;
    }
    // A place no collection is in yet: a file name in a new folder, or a new database.
    std::string newPlace(const std::string& fileName = "pictures.vlm") {
        if (GetParam() == Where::File) return dir_.file(std::to_string(places_++) + fileName);
        databases_.push_back(std::make_unique<ServerDatabase>(*server_));
        return databases_.back()->address();
    }
    const ServerDatabase& lastDatabase() const { return *databases_.back(); }

    TempDir dir_;
    std::optional<ServerSetting> server_;

private:
    int places_ = 0;
    std::vector<std::unique_ptr<ServerDatabase>> databases_;
};

inline std::string whereName(const ::testing::TestParamInfo<Where>& info) {
    return info.param == Where::File ? "File" : "Server";
}

}  // namespace velmora::test
