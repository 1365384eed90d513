#include "store/server/server_table_check.h"

#include "base/error.h"

namespace velmora {

void checkServerTable(const std::string& shownAddress, const std::optional<ServerTableRow>& table,
                      const std::vector<ServerColumnRow>& columns) {
    const std::string named = "The table pictures of the server collection " + shownAddress;
    if (!table) throw Error("The server collection " + shownAddress + " holds no table pictures");
    if (table->kind != "r") throw Error(named + " is not a plain table");
    if (table->triggers != 0 || table->rules != 0) {
        throw Error(named + " has triggers or rules, which could change what Velmora writes");
    }
    bool name = false, picture = false, key = false;
    for (const ServerColumnRow& column : columns) {
        if (column.name == "filename") name = column.type == "text" || column.type.starts_with("character varying");
        if (column.name == "picture") picture = column.type == "bytea";
        if (column.name == "velmora_key") {
            key = column.type == "bigint" && column.notNull && column.uniqueAlone;
        } else if (!column.generated.empty()) {
            throw Error(named + " has a generated column, " + column.name);
        }
    }
    if (!name || !picture) throw Error(named + " needs the columns filename (text) and picture (bytea)");
    if (!key) {
        throw Error(named + " has no key column: add one with "
                            "ALTER TABLE pictures ADD COLUMN velmora_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY");
    }
}

}  // namespace velmora
