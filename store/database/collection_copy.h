#pragma once
// Copies a picture data file through SQLite, so a writer in another program cannot
// tear the copy, and gives the copy its name only once it is complete.

#include <chrono>
#include <string>

namespace velmora {

class Connection;

// Copies the database at source to target, which must not exist: the pages go into a
// new file beside target under a temporary name (one read transaction on source, so
// the copy is consistent), which is synced and then renamed to target without ever
// replacing an existing file. Raises Error with SQLite's text when source cannot be
// read (a missing file: "unable to open database file"), and "Cannot create file ..."
// with the system's reason when target exists (80) or cannot be written; target is
// then absent or, when it existed, untouched. Leftovers of earlier copies into target's
// folder that were killed before they could clean up are removed first; never another
// program's file.
void copyCollection(const std::string& source, const std::string& target);

// copyCollection through SQLite's backup API alone, page by page under one read
// transaction of the source: the copy is consistent while other programs, another
// Velmora among them, have the file open and write to it (they wait for the read to
// end). A writer that keeps the source locked longer than lockWait makes it give up
// with an Error that says so, leaving nothing behind. The copy is rebuilt before it
// gets its name, so nothing the source had deleted (an emptied trash) is in it; the
// rows keep their rowids. Otherwise the same errors as copyCollection; target is
// never replaced.
constexpr std::chrono::milliseconds kBackupLockWait = std::chrono::seconds(30);
void backupCollection(const std::string& source, const std::string& target,
                      std::chrono::milliseconds lockWait = kBackupLockWait);

// Removes the temporary file (and its journal) of the copy this process is making, if
// any. Async-signal-safe, for a handler of a signal that ends the process; where the
// system keeps an open file (Windows), the next copy into that folder removes it.
void removeCopyInProgress() noexcept;

// Rebuilds the new collection at path, open on connection and emptied there, in place
// (VACUUM), so that no byte its deletes freed stays in the file. Needs no transaction
// and no running statement on the connection. On a failure, Error says that path was
// not created and why; the file is then as it was before.
void wipeNewCollection(Connection& connection, const std::string& path);

// Gives up a new collection whose making failed: the connection is closed (an open
// transaction rolled back) and the file at path and its journal are removed.
void discardNewCollection(Connection& connection, const std::string& path);

// Deletes every record of the file's `pictures` table, also those the statement in
// force does not select. Part of the caller's transaction when one is open.
void deleteAllPictures(Connection& connection);

}  // namespace velmora
