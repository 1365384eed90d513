#pragma once
// The registry hive as a text file. One header line, then each key as a
// "[path]" line followed by its values as `"name"=TYPE:"data"` lines. Names, paths
// and data are kept byte for byte: every byte outside printable ASCII, and the
// characters % " [ ], is written as %HH, so any value survives a round trip.
//
//   Velmora registry hive 1
//   [Software\Velmora]
//   "FileName"=REG_SZ:"Sunset%00"

#include <string>

#include "platform/registry_hive.h"

namespace velmora::platform {

std::string formatHive(const RegistryHive& hive);

// Raises velmora::Error naming the line when the text is not a hive.
RegistryHive parseHive(const std::string& text);

}  // namespace velmora::platform
