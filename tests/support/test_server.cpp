#include "tests/support/test_server.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

#include "store/server/server_connection.h"

namespace velmora::test {
namespace {

std::string socketAddress(const ServerSetting& server, const std::string& role, const std::string& database) {
    return "postgresql://" + role + "@/" + database + "?host=" + server.socket + "&port=" + server.port;
}

}  // namespace

std::optional<ServerSetting> testServer(std::string& whyNot) {
    const char* file = std::getenv("VELMORA_TEST_SERVER");
    if (!file) {
        whyNot = "no test server: run through CTest, whose fixture starts it (VELMORA_TEST_SERVER unset)";
        return std::nullopt;
    }
    std::map<std::string, std::string> values;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (std::size_t equals = line.find('='); equals != std::string::npos) {
            values[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    if (values.contains("VELMORA_PG_MISSING")) {
        whyNot = values["VELMORA_PG_MISSING"];
        return std::nullopt;
    }
    if (!values.contains("VELMORA_PG_PORT")) {
        whyNot = std::string("no test server: ") + file + " says nothing of one";
        return std::nullopt;
    }
    return ServerSetting{values["VELMORA_PG_FOLDER"], values["VELMORA_PG_BIN"], values["VELMORA_PG_SOCKET"],
                         values["VELMORA_PG_PORT"], values["VELMORA_PG_ADMIN"], values["VELMORA_PG_ADMIN_PASSWORD"]};
}

ServerDatabase::ServerDatabase(const ServerSetting& server) : server_(server) {
    static std::atomic<unsigned> count{0};
    name_ = "velmora_test_" + std::to_string(std::random_device{}()) + "_" + std::to_string(count++);
    ServerConnection(socketAddress(server_, server_.admin, "postgres")).run("CREATE DATABASE " + name_);
}

ServerDatabase::~ServerDatabase() {
    try {
        ServerConnection(socketAddress(server_, server_.admin, "postgres"))
            .run("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const std::exception&) {
    }
}

std::string ServerDatabase::address() const { return socketAddress(server_, server_.admin, name_); }

std::string ServerDatabase::addressFor(const std::string& role) const { return socketAddress(server_, role, name_); }

std::string ServerDatabase::tcpAddress(const std::string& role, const std::string& password) const {
    return "postgresql://" + role + ":" + password + "@127.0.0.1:" + server_.port + "/" + name_;
}

std::string ServerDatabase::run(const std::string& sql) const {
    ServerResult result = ServerConnection(address()).run(sql);
    return result.rows() > 0 && result.columns() > 0 ? result.text(0, 0) : "";
}

}  // namespace velmora::test
