#pragma once
// The server benchmarks' own PostgreSQL server, started with the tests' script
// (tools/test-server.sh) in a scratch folder, and programs run to completion.

#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_server.h"

namespace velmora::bench {

// Runs argv[0] (a full path) with the rest as its arguments and waits for it: its exit
// status, -1 when it could not start or did not exit by itself.
int runProgram(std::vector<std::string> argv);

// A server for this run, stopped and removed when this goes.
class BenchServer {
public:
    explicit BenchServer(const std::string& scratch);
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // The running server, or nullopt with the reason in whyNot() (PostgreSQL missing).
    const std::optional<test::ServerSetting>& setting() const { return setting_; }
    const std::string& whyNot() const { return whyNot_; }

private:
    std::string scratch_;
    std::optional<test::ServerSetting> setting_;
    std::string whyNot_;
};

// The ways to the server the figures are taken over: its Unix socket and TCP loopback.
inline const std::vector<std::string> kServerWays{"socket", "tcp"};

// The administrator's address of the database over `way` ("socket" or "tcp").
std::string addressOver(const std::string& way, const test::ServerSetting& server, const test::ServerDatabase& database);

}  // namespace velmora::bench
