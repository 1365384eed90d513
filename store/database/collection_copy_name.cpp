#include "store/database/collection_copy_file.h"

#include <cstring>
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

bool startsLikeACopy(const unsigned char* head, std::size_t got, bool journal) {
    static const unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
    static const unsigned char kZeros[16] = {};
    if (got == 0) return true;
    const std::size_t length = journal ? 8 : 16;
    return got >= length && (std::memcmp(head, kZeros, length) == 0 ||
                             std::memcmp(head, journal ? kJournalMagic : reinterpret_cast<const unsigned char*>("SQLite format 3"), length) == 0);
}

}  // namespace velmora
