#pragma once
// velmora --add and --copy-collection: pictures into a collection, and a whole
// collection into a new one, a file or a server alike, without a window.

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora {

class ImageDecoder;

// Adds each picture file, named after it, as the window adds several files: one
// already stored (or added earlier in this run) is skipped and listed on out; one that
// cannot be added gets a line on err. Returns 0 when each was added or skipped, 1
// otherwise (also when the collection cannot be opened).
int addPictures(const std::string& collection, const std::vector<std::string>& pictures, std::ostream& out,
                std::ostream& err, const ImageDecoder* decoder = nullptr);

// Copies every row of source's `pictures`, with all its columns, into a new
// collection at destination, all or nothing, showing progress on err when
// showProgress. Returns 0 when copied, 1 otherwise, with the reason on err.
int copyCollectionTo(const std::string& source, const std::string& destination, std::ostream& out,
                     std::ostream& err, bool showProgress);

}  // namespace velmora
