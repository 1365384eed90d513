// velmora-make-collection [OPTION]... FILE
// Makes a picture data file: an empty template, or one holding N generated pictures
// (real JPEG streams) named PREFIX1..PREFIXN. An existing FILE is never replaced, and a
// file the tool could not finish is removed again.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "cli/command_options.h"
#include "cli/velmora_version.h"
#include "store/database/collection_file.h"
#include "tools/synthetic_picture.h"

namespace {

constexpr const char* kProgram = "velmora-make-collection";
// libjpeg's own limit on a side; the area keeps the generated bitmap within a few
// hundred megabytes.
constexpr int kMaxSide = 65500;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

struct Request {
    enum class Action { Make, Help, Version, Invalid };
    Action action = Action::Make;
    std::string path;
    int count = 0;
    int width = 640;
    int height = 480;
    std::string prefix = "图片";
    std::string error;  // for Action::Invalid
};

const char* usageLine() { return "Usage: velmora-make-collection [OPTION]... FILE\n"; }

std::string helpText() {
    return std::string(usageLine()) +
           "Make the picture collection file FILE for velmora: an empty one, or one holding\n"
           "generated JPEG pictures. An existing FILE is never replaced.\n"
           "\n"
           "Options:\n"
           "      --count N      fill it with N generated pictures (default 0: an empty collection)\n"
           "      --size WxH     the pictures' size in pixels (default 640x480)\n"
           "      --prefix NAME  name them NAME1 to NAMEn (default 图片)\n" +
           velmora::generalOptionsHelp() +
           "\n"
           "Use -- before a FILE whose name begins with '-'.\n"
           "See velmora-make-collection(1) for more.\n";
}

// A whole decimal number within [low, high], nothing else.
bool parseNumber(std::string_view text, long long low, long long high, long long& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

bool parseSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    long long w = 0, h = 0;
    if (x == std::string_view::npos || !parseNumber(text.substr(0, x), 1, kMaxSide, w) ||
        !parseNumber(text.substr(x + 1), 1, kMaxSide, h) || w * h > kMaxPixels) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

Request invalid(std::string error) {
    Request request;
    request.action = Request::Action::Invalid;
    request.error = std::move(error);
    return request;
}

// Options may come before or after FILE, as "--count N" or "--count=N"; help and
// version answer at once, the first wrong argument ends the reading.
Request parseArguments(const std::vector<std::string_view>& args) {
    Request request;
    std::vector<std::string_view> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (velmora::isHelpOption(arg)) {
            request.action = Request::Action::Help;
            return request;
        }
        if (velmora::isVersionOption(arg)) {
            request.action = Request::Action::Version;
            return request;
        }
        std::string_view name = arg.substr(0, arg.find('='));
        if (name != "--count" && name != "--size" && name != "--prefix") {
            return invalid("unknown option '" + std::string(arg) + "'");
        }
        std::string_view value;
        if (name.size() < arg.size()) {
            value = arg.substr(name.size() + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return invalid("option '" + std::string(name) + "' needs a value");
        }
        long long count = 0;
        if (name == "--count") {
            if (!parseNumber(value, 0, 1'000'000'000, count)) return invalid("invalid count '" + std::string(value) + "'");
            request.count = static_cast<int>(count);
        } else if (name == "--size") {
            if (!parseSize(value, request.width, request.height)) {
                return invalid("invalid size '" + std::string(value) +
                               "' (WIDTHxHEIGHT, each 1 to 65500, at most 64 megapixels)");
            }
        } else {
            request.prefix = value;
        }
    }
    if (files.empty()) return invalid("no FILE given");
    if (files.size() > 1) return invalid("only one FILE can be made at a time");
    request.path = files.front();
    return request;
}

// Raises velmora::Error; what it made is removed again on failure.
void makeCollection(const Request& request) {
    using namespace velmora;
    createCollection(request.path);
    try {
        // Written in batches so large files need little memory.
        const int batch = 64;
        for (int first = 0; first < request.count; first += batch) {
            std::vector<CollectionRecord> records;
            for (int i = first; i < std::min(request.count, first + batch); ++i) {
                records.push_back({request.prefix + std::to_string(i + 1),
                                   tools::syntheticJpeg(request.width, request.height, i)});
            }
            appendRecords(request.path, records);
        }
    } catch (...) {
        removeCollection(request.path);
        throw;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = parseArguments(std::vector<std::string_view>(argv + std::min(argc, 1), argv + argc));
    switch (request.action) {
    case Request::Action::Help:
        std::fputs(helpText().c_str(), stdout);
        return 0;
    case Request::Action::Version:
        std::printf("%s %s\n", kProgram, velmora::kVelmoraVersion);
        return 0;
    case Request::Action::Invalid:
        std::fprintf(stderr, "%s: %s\n%sTry '%s --help' for more information.\n", kProgram, request.error.c_str(),
                     usageLine(), kProgram);
        return 2;
    case Request::Action::Make:
        break;
    }
    try {
        makeCollection(request);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
        return 1;
    }
    return 0;
}
