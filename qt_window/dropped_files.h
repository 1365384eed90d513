#pragma once
// The local files a drag carries, as the core takes them: UTF-8 paths.

#include <string>
#include <vector>

class QMimeData;

namespace velmora {

std::vector<std::string> localFiles(const QMimeData* data);

}  // namespace velmora
