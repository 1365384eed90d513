#pragma once
// Keeps a read of a memory-mapped file from ending the program when another program
// shortens the file meanwhile (the system would send SIGBUS for the pages past the new
// end): those pages are replaced by zeros and the mapping is marked damaged, so the
// reader can report a read error instead. Only that fault is handled: any other SIGBUS,
// one another program sends included, goes where it went before the guard.

#include <cstddef>

namespace velmora {

// Registers a mapping and gives its slot; -1 when every slot is taken (do not read
// the file through a mapping then).
int guardMapping(const void* data, std::size_t size);
void unguardMapping(int slot);
// True when a page of the mapping had to be replaced since it was registered.
bool mappingDamaged(int slot);

}  // namespace velmora
