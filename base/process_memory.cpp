#include "base/process_memory.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace velmora {

void mapLargeBuffersAlone() {
#if defined(__GLIBC__)
    // glibc raises its threshold to the size of each mapped block freed; after the
    // first picture the next ones would come from the heap and stay resident there.
    // A fixed threshold keeps them mapped on their own.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace velmora
