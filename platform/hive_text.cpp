#include "platform/hive_text.h"

#include <array>
#include <cstdint>
#include <set>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/registry.h"
#include "base/error.h"

namespace velmora::platform {
namespace {

const std::string kHeader = "Velmora registry hive 1";

const std::array<std::pair<std::uint32_t, const char*>, 7> kTypeNames{{
    {kRegNone, "REG_NONE"},
    {kRegSz, "REG_SZ"},
    {kRegExpandSz, "REG_EXPAND_SZ"},
    {kRegBinary, "REG_BINARY"},
    {kRegDword, "REG_DWORD"},
    {kRegMultiSz, "REG_MULTI_SZ"},
    {kRegQword, "REG_QWORD"},
}};

bool needsEscape(unsigned char c) {
    return c < 0x20 || c > 0x7E || c == '%' || c == '"' || c == '[' || c == ']';
}

std::string escape(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (needsEscape(c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

class LineParser {
public:
    LineParser(const std::string& line, int number) : line_(line), number_(number) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw Error("The registry hive is damaged at line " + std::to_string(number_) + ": " +
                    what);
    }
    bool atEnd() const { return pos_ == line_.size(); }
    void expect(char c) {
        if (pos_ >= line_.size() || line_[pos_] != c) fail(std::string("expected '") + c + "'");
        ++pos_;
    }
    // Escaped bytes up to (not including) the terminator.
    std::string unescapeUntil(char terminator) {
        std::string out;
        while (pos_ < line_.size() && line_[pos_] != terminator) {
            char c = line_[pos_++];
            if (c == '%') {
                int high = pos_ < line_.size() ? hexDigit(line_[pos_]) : -1;
                int low = pos_ + 1 < line_.size() ? hexDigit(line_[pos_ + 1]) : -1;
                if (high < 0 || low < 0) fail("bad escape");
                out += static_cast<char>(high * 16 + low);
                pos_ += 2;
            } else if (needsEscape(static_cast<unsigned char>(c))) {
                fail("unescaped character");
            } else {
                out += c;
            }
        }
        if (pos_ == line_.size()) fail(std::string("missing '") + terminator + "'");
        return out;
    }
    std::uint32_t type() {
        std::size_t colon = line_.find(':', pos_);
        if (colon == std::string::npos) fail("missing type");
        std::string token = line_.substr(pos_, colon - pos_);
        pos_ = colon;
        for (const auto& [code, name] : kTypeNames) {
            if (token == name) return code;
        }
        if (token.empty() || token.size() > 10 || token.find_first_not_of("0123456789") != std::string::npos)
            fail("unknown type " + token);
        unsigned long long code = std::stoull(token);
        if (code > 0xFFFFFFFFull) fail("unknown type " + token);
        return static_cast<std::uint32_t>(code);
    }

private:
    const std::string& line_;
    int number_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string formatHive(const RegistryHive& hive) {
    std::string text = kHeader + "\n";
    for (const auto& [folded, key] : hive.keys()) {
        // The root is always there; it is written only when it holds values.
        if (folded.empty() && key.values.empty()) continue;
        text += "[" + escape(key.path) + "]\n";
        for (const auto& [foldedName, value] : key.values) {
            std::string type = std::to_string(value.type);
            for (const auto& [code, name] : kTypeNames) {
                if (code == value.type) type = name;
            }
            std::string data(value.data.begin(), value.data.end());
            text += "\"" + escape(value.name) + "\"=" + type + ":\"" + escape(data) + "\"\n";
        }
    }
    return text;
}

RegistryHive parseHive(const std::string& text) {
    RegistryHive hive;
    RegistryKey* current = nullptr;
    std::set<std::string> listed;
    std::size_t pos = 0;
    int number = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        LineParser parser(line, number);
        if (number == 1) {
            if (line != kHeader) parser.fail("not a Velmora registry hive");
            continue;
        }
        if (line.empty()) continue;
        if (line[0] == '[') {
            parser.expect('[');
            std::string path = parser.unescapeUntil(']');
            parser.expect(']');
            if (!parser.atEnd()) parser.fail("text after the key");
            std::string normalised;
            if (!normaliseKeyPath(path, normalised) || normalised != path) parser.fail("bad key path");
            if (!listed.insert(foldAsciiCase(path)).second) parser.fail("key listed twice");
            current = &hive.create(path);
            continue;
        }
        if (current == nullptr) parser.fail("value outside a key");
        parser.expect('"');
        std::string name = parser.unescapeUntil('"');
        parser.expect('"');
        parser.expect('=');
        std::uint32_t type = parser.type();
        parser.expect(':');
        parser.expect('"');
        std::string data = parser.unescapeUntil('"');
        parser.expect('"');
        if (!parser.atEnd()) parser.fail("text after the value");
        if (RegistryHive::findValue(*current, name) != nullptr) parser.fail("value listed twice");
        hive.setValue(*current, name, type, Bytes(data.begin(), data.end()));
    }
    if (number == 0) throw Error("The registry hive is damaged at line 1: the file is empty");
    return hive;
}

}  // namespace velmora::platform
