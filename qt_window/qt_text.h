#pragma once
// The product's texts are UTF-8 (the Chinese ones above all); Qt's are UTF-16.
#include <QString>

namespace velmora {

inline QString qtText(const char* text) { return QString::fromUtf8(text); }

}  // namespace velmora
