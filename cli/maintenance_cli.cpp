#include "cli/maintenance_cli.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "cli/collection_check.h"
#include "cli/collection_transfer.h"
#include "cli/keyring_login.h"
#include "store/database/collection_copy.h"
#include "store/database/server_address.h"

namespace velmora {
namespace {

extern "C" void endBackup(int signal) {
    removeCopyInProgress();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// While it lives, a signal that ends the program first removes the half-made copy.
class CopyRemovedOnSignal {
public:
    CopyRemovedOnSignal() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) previous_[i] = std::signal(kSignals[i], endBackup);
    }
    ~CopyRemovedOnSignal() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i) std::signal(kSignals[i], previous_[i]);
    }
    CopyRemovedOnSignal(const CopyRemovedOnSignal&) = delete;
    CopyRemovedOnSignal& operator=(const CopyRemovedOnSignal&) = delete;

private:
#ifdef SIGHUP
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#else
    static constexpr int kSignals[] = {SIGINT, SIGTERM};
#endif
    void (*previous_[std::size(kSignals)])(int) = {};
};

// Progress goes to standard error when that is a terminal.
bool progressShown(const std::ostream& err) {
    return &err == &std::cerr && isatty(fileno(stderr));
}

}  // namespace

int runMaintenance(const MaintenanceOptions& options, std::ostream& out, std::ostream& err, platform::Keyring* keyring) {
    if (options.kind == MaintenanceOptions::Kind::None) {
        err << invalidCommandLineText(kMaintenanceOptionsFirst);
        return 2;
    }
    if (!options.usageError.empty()) {
        err << "velmora: " << options.usageError << "\n";
        return 2;
    }
    // A server collection's password may come from the keyring, as the window kept it.
    const KeyringLogin login(keyring);
    if (options.kind == MaintenanceOptions::Kind::Add) return addPictures(options.file, options.pictures, out, err);
    if (options.kind == MaintenanceOptions::Kind::CopyCollection) {
        // A file being made is removed when a signal ends the copy; a server drops the
        // transaction when the connection goes.
        CopyRemovedOnSignal cleanUp;
        return copyCollectionTo(options.file, options.destination, out, err, progressShown(err));
    }
    if (options.kind == MaintenanceOptions::Kind::Check) {
        const CollectionCheck check = checkCollection(options.file);
        out << checkReport(shownCollectionName(options.file), check);
        return check.sound() ? 0 : 1;
    }
    if (isServerAddress(options.file) || isServerAddress(options.destination)) {
        // A server's backup is a copy under one snapshot, into a new file or database.
        CopyRemovedOnSignal cleanUp;
        return copyCollectionTo(options.file, options.destination, out, err, progressShown(err));
    }
    try {
        CopyRemovedOnSignal cleanUp;
        backupCollection(options.file, options.destination);
    } catch (const std::exception& error) {
        err << "velmora: " << error.what() << "\n";
        return 1;
    }
    out << options.file << ": copied to " << options.destination << "\n";
    return 0;
}

}  // namespace velmora
