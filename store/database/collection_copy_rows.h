#pragma once
// The rows of one collection copied into a new one: every picture with every column,
// then the program's own tables (trash, digests, rotation marks), with the keys that
// name a picture given as the new collection knows it.

#include <cstdint>
#include <functional>

namespace velmora {

class CollectionStore;
class NewCollection;

struct CopiedRows {
    std::size_t pictures = 0;
    std::uint64_t bytes = 0;  // of the pictures' byte values
};

// Copies from into to under one snapshot of from; told(copied) after each picture. A
// column that names a picture follows it to its new key (a row whose picture is not
// copied is left out) or, naming a row that is gone (a trashed picture's former key),
// is kept null, so that a restore adds the picture as a new row. Raises what either
// side raises; to is then left to be dropped unfinished.
CopiedRows copyCollectionRows(CollectionStore& from, NewCollection& to,
                              const std::function<void(const CopiedRows&)>& told);

}  // namespace velmora
