#pragma once
// Whether a server's `pictures` table can be trusted, judged from the catalog rows the
// server gives for it (pg_class, pg_trigger, pg_rewrite, pg_attribute, pg_index):
// plain text work, so that it is tested and fuzzed without a server.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The table's pg_class row: relkind ("r" a plain table, "v" a view, ...) and how many
// triggers and rules act on it.
struct ServerTableRow {
    std::string kind;
    std::int64_t triggers = 0;
    std::int64_t rules = 0;
};

// One column: its name, format_type() text, attidentity and attgenerated ("" for
// none), NOT NULL, and whether a unique index covers it alone.
struct ServerColumnRow {
    std::string name;
    std::string type;
    std::string identity;
    std::string generated;
    bool notNull = false;
    bool uniqueAlone = false;
};

// Raises Error naming the first fault, for the collection shown as shownAddress: no
// table (table is none), not a plain table, triggers or rules, a generated column,
// filename or picture missing or of another type, no key column (velmora_key bigint,
// not null, unique on its own).
void checkServerTable(const std::string& shownAddress, const std::optional<ServerTableRow>& table,
                      const std::vector<ServerColumnRow>& columns);

}  // namespace velmora
