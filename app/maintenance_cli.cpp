#include "app/maintenance_cli.h"

#include <ostream>

#include "app/collection_check.h"
#include "store/database/collection_copy.h"

namespace velmora {

int runMaintenance(const MaintenanceOptions& options, std::ostream& out, std::ostream& err) {
    if (options.kind == MaintenanceOptions::Kind::None) {
        err << invalidCommandLineText(kMaintenanceOptionsFirst);
        return 2;
    }
    if (!options.usageError.empty()) {
        err << "velmora: " << options.usageError << "\n";
        return 2;
    }
    if (options.kind == MaintenanceOptions::Kind::Check) {
        const CollectionCheck check = checkCollection(options.file);
        out << checkReport(options.file, check);
        return check.sound() ? 0 : 1;
    }
    try {
        backupCollection(options.file, options.destination);
    } catch (const std::exception& error) {
        err << "velmora: " << error.what() << "\n";
        return 1;
    }
    out << options.file << ": copied to " << options.destination << "\n";
    return 0;
}

}  // namespace velmora
