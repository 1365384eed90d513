#include "store/database/server_address.h"

#include <algorithm>
#include <cctype>

namespace velmora {
namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
}

std::string_view uriScheme(std::string_view text) {
    for (std::string_view scheme : {"postgresql://", "postgres://"}) {
        if (startsWithIgnoringCase(text, scheme)) return text.substr(0, scheme.size());
    }
    return {};
}

// The URI without ":password" in its user part and without password=... among its
// options.
std::string uriWithoutPassword(const std::string& uri, std::size_t schemeLength) {
    std::size_t authorityEnd = uri.find_first_of("/?", schemeLength);
    if (authorityEnd == std::string::npos) authorityEnd = uri.size();
    std::string result = uri.substr(0, schemeLength);
    std::string authority = uri.substr(schemeLength, authorityEnd - schemeLength);
    if (std::size_t at = authority.rfind('@'); at != std::string::npos) {
        std::size_t colon = authority.find(':');
        if (colon < at) authority.erase(colon, at - colon);
    }
    result += authority;
    std::string rest = uri.substr(authorityEnd);
    std::size_t query = rest.find('?');
    if (query == std::string::npos) return result + rest;
    result += rest.substr(0, query);
    std::string kept;
    std::size_t begin = query + 1;
    while (begin <= rest.size()) {
        std::size_t end = std::min(rest.find('&', begin), rest.size());
        std::string option = rest.substr(begin, end - begin);
        if (!startsWithIgnoringCase(option, "password=") && !option.empty()) {
            kept += kept.empty() ? "?" : "&";
            kept += option;
        }
        begin = end + 1;
    }
    return result + kept;
}

// key=value pairs without the password pair; a quoted value may hold spaces and \'.
std::string keywordsWithoutPassword(const std::string& text) {
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t start = i;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        std::size_t keyStart = i;
        while (i < text.size() && text[i] != '=' && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        std::string key = text.substr(keyStart, i - keyStart);
        while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == '=')) ++i;
        if (i < text.size() && text[i] == '\'') {
            for (++i; i < text.size() && text[i] != '\''; ++i) {
                if (text[i] == '\\') ++i;
            }
            ++i;
        } else {
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        }
        i = std::min(i, text.size());
        std::string lowered = key;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lowered != "password") result += text.substr(start, i - start);
    }
    std::size_t first = result.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : result.substr(first);
}

}  // namespace

bool isServerAddress(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    return !uriScheme(text).empty() || startsWithIgnoringCase(text.substr(first), "service=");
}

std::string addressWithoutPassword(const std::string& address) {
    std::string_view scheme = uriScheme(address);
    return scheme.empty() ? keywordsWithoutPassword(address) : uriWithoutPassword(address, scheme.size());
}

std::string shownCollectionName(const std::string& fileOrAddress) {
    return isServerAddress(fileOrAddress) ? addressWithoutPassword(fileOrAddress) : fileOrAddress;
}

}  // namespace velmora
