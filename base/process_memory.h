#pragma once
// How the heap treats large buffers (a stored picture's bytes, a decoded bitmap): each
// is mapped on its own and goes back to the system when freed, so the resident size
// follows what is alive rather than the heap's high-water mark. Called once, first
// thing in the program.

namespace velmora {

void mapLargeBuffersAlone();

}  // namespace velmora
