#include "tests/support/test_server.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

#include "store/server/open_collection.h"
#include "store/server/server_connection.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

// The administrator's way in: the private socket, or under Wine (which has none) TCP
// loopback with the password.
std::string adminAddress(const ServerSetting& server, const std::string& database) {
#ifdef _WIN32
    return "postgresql://" + server.admin + ":" + server.adminPassword + "@127.0.0.1:" + server.port + "/" + database;
#else
    return "postgresql://" + server.admin + "@/" + database + "?host=" + server.socket + "&port=" + server.port;
#endif
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
    ServerConnection(adminAddress(server_, "postgres")).run("CREATE DATABASE " + name_);
}

ServerDatabase::~ServerDatabase() {
    try {
        ServerConnection(adminAddress(server_, "postgres"))
            .run("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    } catch (const std::exception&) {
    }
}

std::string ServerDatabase::address() const { return adminAddress(server_, name_); }

std::string ServerDatabase::addressFor(const std::string& role) const {
    return "postgresql://" + role + "@/" + name_ + "?host=" + server_.socket + "&port=" + server_.port;
}

std::string ServerDatabase::tcpAddress(const std::string& role, const std::string& password) const {
    return "postgresql://" + role + ":" + password + "@127.0.0.1:" + server_.port + "/" + name_;
}

std::string ServerDatabase::run(const std::string& sql) const {
    ServerResult result = ServerConnection(address()).run(sql);
    return result.rows() > 0 && result.columns() > 0 ? result.text(0, 0) : "";
}

void ServerDatabase::makeCollection(const std::vector<std::string>& names) const {
    std::unique_ptr<NewCollection> made =
        startCollection(address(), {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes}});
    for (std::size_t i = 0; i < names.size(); ++i) {
        made->insert({FieldValue{names[i]}, FieldValue{shareBytes(tools::syntheticJpeg(48, 32, static_cast<int>(i)))}});
    }
    made->finish();
}

}  // namespace velmora::test
