#pragma once
// The PostgreSQL server the test fixture started (tools/test-server.sh, read through
// VELMORA_TEST_SERVER), and a database of its own for each test.

#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

struct ServerSetting {
    std::string folder, bin, socket, port, admin, adminPassword;
};

// The running server's settings, or nullopt with the reason in whyNot.
std::optional<ServerSetting> testServer(std::string& whyNot);

// A new empty database, dropped (connections and all) when this goes.
class ServerDatabase {
public:
    explicit ServerDatabase(const ServerSetting& server);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const std::string& name() const { return name_; }
    // The administrator's address: over the private socket (no password needed there),
    // under Wine over TCP loopback.
    std::string address() const;
    // An address over the socket for another role, which needs its password.
    std::string addressFor(const std::string& role) const;
    // Over TCP loopback, with the password in the address.
    std::string tcpAddress(const std::string& role, const std::string& password) const;
    // Runs a statement in this database as the administrator: its first value, if any.
    std::string run(const std::string& sql) const;
    // Makes the table pictures here, as a copy to the server does, with a picture of each
    // name: the i-th is tools::syntheticJpeg(48, 32, i).
    void makeCollection(const std::vector<std::string>& names) const;

private:
    ServerSetting server_;
    std::string name_;
};

}  // namespace velmora::test

// Skips the test, saying why, when no server runs (PostgreSQL's programs missing).
#define VELMORA_REQUIRE_SERVER(setting)                               \
    std::string velmoraWhyNoServer;                                   \
    std::optional<::velmora::test::ServerSetting> setting =           \
        ::velmora::test::testServer(velmoraWhyNoServer);              \
    if (!setting) GTEST_SKIP() << velmoraWhyNoServer
