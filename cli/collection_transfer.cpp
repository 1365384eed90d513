#include "cli/collection_transfer.h"

#include <filesystem>
#include <ostream>

#include "store/database/collection_copy_rows.h"
#include "store/imagefile/picture_file.h"
#include "store/server/open_collection.h"
#include "store/database/server_address.h"

namespace velmora {
namespace {

// A part of a UTF-8 path, as UTF-8 (on Windows a narrow path would be the ANSI code page).
template <typename Part>
std::string pathPart(const std::string& path, Part part) {
    const std::u8string text = (std::filesystem::path(std::u8string(path.begin(), path.end())).*part)().u8string();
    return std::string(text.begin(), text.end());
}

std::string megabytes(std::uint64_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MB"; }

}  // namespace

int addPictures(const std::string& collection, const std::vector<std::string>& pictures, std::ostream& out,
                std::ostream& err, const ImageDecoder* decoder) {
    std::unique_ptr<CollectionStore> store;
    try {
        store = openCollection(collection);
    } catch (const std::exception& error) {
        err << "velmora: " << error.what() << "\n";
        return 1;
    }
    int failed = 0;
    for (const std::string& path : pictures) {
        try {
            JpegPicture picture = loadPictureFile(path, decoder);
            SharedBytes bytes = picture.jpegData();
            if (std::optional<std::string> stored = store->storedCopyOf(bytes)) {
                out << pathPart(path, &std::filesystem::path::filename) << ": stored already as " << *stored << ", not added\n";
                continue;
            }
            store->add(pathPart(path, &std::filesystem::path::stem), bytes);
        } catch (const std::exception& error) {
            err << pathPart(path, &std::filesystem::path::filename) << ": " << error.what() << "\n";
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

int copyCollectionTo(const std::string& source, const std::string& destination, std::ostream& out,
                     std::ostream& err, bool showProgress) {
    try {
        std::unique_ptr<CollectionStore> from = openCollection(source);
        const std::size_t total = showProgress ? from->names().size() : 0;
        std::unique_ptr<NewCollection> to = startCollection(destination, from->columns());
        const CopiedRows copied = copyCollectionRows(*from, *to, [&](const CopiedRows& sofar) {
            if (showProgress && (sofar.pictures % 16 == 0 || sofar.pictures == total)) {
                err << "\rcopying " << sofar.pictures << " of " << total << " pictures, " << megabytes(sofar.bytes)
                    << std::flush;
            }
        });
        to->finish();
        if (showProgress) err << "\n";
        out << from->title() << ": " << copied.pictures << " pictures copied to " << shownCollectionName(destination) << "\n";
        return 0;
    } catch (const std::exception& error) {
        if (showProgress) err << "\n";
        err << "velmora: " << error.what() << "\nNothing was copied.\n";
        return 1;
    }
}

}  // namespace velmora
