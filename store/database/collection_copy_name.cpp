#include "store/database/collection_copy_file.h"

#include <string_view>

namespace velmora {
namespace {

constexpr char kPrefix[] = ".vlm-";
constexpr std::size_t kPrefixLength = sizeof(kPrefix) - 1;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::uint32_t kLetters = sizeof(kAlphabet) - 1;

// Two letters from the four random ones (FNV-1a over them and a salt of this program).
std::string checkOf(const std::string& random) {
    std::uint32_t hash = 2166136261u;
    for (char c : "velmora copy:" + random) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return {kAlphabet[hash % kLetters], kAlphabet[hash / kLetters % kLetters]};
}

}  // namespace

std::string temporaryCopyName(std::uint32_t random) {
    std::string letters;
    for (int i = 0; i < 4; ++i, random /= kLetters) letters += kAlphabet[random % kLetters];
    return kPrefix + letters + checkOf(letters);
}

bool isTemporaryCopyName(const std::string& name) {
    if (name.size() != kPrefixLength + 6 || name.compare(0, kPrefixLength, kPrefix) != 0) return false;
    for (std::size_t i = kPrefixLength; i < name.size(); ++i)
        if (std::string_view(kAlphabet).find(name[i]) == std::string_view::npos) return false;
    return name.substr(kPrefixLength + 4) == checkOf(name.substr(kPrefixLength, 4));
}

}  // namespace velmora
