#include "tests/support/failing_shrink_vfs.h"

#include <sqlite3.h>

namespace velmora::test {

namespace {

// The system VFS's file lives right behind the shim's own.
struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool watched;
};

sqlite3_vfs* systemVfs = nullptr;
sqlite3_vfs shimVfs;
std::string watchedName;
bool pending = false;

sqlite3_file* real(sqlite3_file* file) { return reinterpret_cast<ShimFile*>(file)->real; }
const sqlite3_io_methods& methods(sqlite3_file* file) { return *real(file)->pMethods; }

int shrink(sqlite3_file* file, sqlite3_int64 size) {
    if (reinterpret_cast<ShimFile*>(file)->watched && pending) {
        pending = false;
        return SQLITE_IOERR_TRUNCATE;
    }
    return methods(file).xTruncate(real(file), size);
}

const sqlite3_io_methods shimMethods = {
    1,
    [](sqlite3_file* f) { return methods(f).xClose(real(f)); },
    [](sqlite3_file* f, void* b, int n, sqlite3_int64 at) { return methods(f).xRead(real(f), b, n, at); },
    [](sqlite3_file* f, const void* b, int n, sqlite3_int64 at) { return methods(f).xWrite(real(f), b, n, at); },
    shrink,
    [](sqlite3_file* f, int flags) { return methods(f).xSync(real(f), flags); },
    [](sqlite3_file* f, sqlite3_int64* size) { return methods(f).xFileSize(real(f), size); },
    [](sqlite3_file* f, int lock) { return methods(f).xLock(real(f), lock); },
    [](sqlite3_file* f, int lock) { return methods(f).xUnlock(real(f), lock); },
    [](sqlite3_file* f, int* out) { return methods(f).xCheckReservedLock(real(f), out); },
    [](sqlite3_file* f, int op, void* arg) { return methods(f).xFileControl(real(f), op, arg); },
    [](sqlite3_file* f) { return methods(f).xSectorSize(real(f)); },
    [](sqlite3_file* f) { return methods(f).xDeviceCharacteristics(real(f)); },
    // Version 1: no shared memory (no WAL), no memory mapping.
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

int openThroughShim(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    auto* shim = reinterpret_cast<ShimFile*>(file);
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    const std::string path = name ? name : "";
    shim->watched = (flags & SQLITE_OPEN_MAIN_DB) && path.size() >= watchedName.size() &&
                    path.compare(path.size() - watchedName.size(), watchedName.size(), watchedName) == 0;
    const int rc = systemVfs->xOpen(systemVfs, name, shim->real, flags, outFlags);
    shim->base.pMethods = shim->real->pMethods ? &shimMethods : nullptr;
    return rc;
}

}  // namespace

FailingShrink::FailingShrink(std::string fileName) {
    systemVfs = sqlite3_vfs_find(nullptr);
    shimVfs = *systemVfs;
    shimVfs.zName = "velmora-failing-shrink";
    shimVfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + systemVfs->szOsFile;
    shimVfs.xOpen = openThroughShim;
    watchedName = std::move(fileName);
    pending = true;
    sqlite3_vfs_register(&shimVfs, 1);
}

FailingShrink::~FailingShrink() { sqlite3_vfs_unregister(&shimVfs); }

bool FailingShrink::failed() const { return !pending; }

}  // namespace velmora::test
