#pragma once
// Settings for SQLite connections to picture data files. A .vlm file is a document
// people exchange, so its schema is never trusted: nothing in it may run code of
// its own (triggers, views, functions in the schema) or make SQLite allocate
// without bound.

struct sqlite3;

namespace velmora {

// Pictures are a few MB; anything declared larger than this is refused by SQLite
// before it allocates ("string or blob too big").
constexpr int kMaxValueBytes = 512 * 1024 * 1024;

// Turns on SQLite's defensive mode, turns off the trusted schema, triggers and views,
// and limits value lengths. Raises Error when the library refuses a setting.
void applyUntrustedFileSettings(sqlite3* db);

// Requires `pictures` in the main schema to be a plain rowid table without triggers.
// A missing table is left to the statement that names it ("no such table").
// Raises Error with a message that says what is wrong otherwise.
void requirePlainPictureTable(sqlite3* db);

}  // namespace velmora
