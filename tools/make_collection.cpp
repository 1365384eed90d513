// velmora-make-collection FILE [--count N] [--size WxH] [--prefix NAME]
// Makes a picture data file: an empty template, or one holding N generated pictures
// (real JPEG streams) named PREFIX1..PREFIXN.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error.h"
#include "tools/collection_file.h"
#include "tools/synthetic_picture.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: velmora-make-collection FILE [--count N] [--size WxH] [--prefix NAME]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    if (argc < 2) return usage();
    std::string path = argv[1];
    int count = 0, width = 640, height = 480;
    std::string prefix = "图片";
    for (int i = 2; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) return usage();
        std::string value = argv[++i];
        if (option == "--count") {
            count = std::atoi(value.c_str());
        } else if (option == "--size") {
            if (std::sscanf(value.c_str(), "%dx%d", &width, &height) != 2) return usage();
        } else if (option == "--prefix") {
            prefix = value;
        } else {
            return usage();
        }
    }
    if (count < 0 || width <= 0 || height <= 0) return usage();
    try {
        tools::createCollection(path);
        // Written in batches so large files need little memory.
        const int batch = 64;
        for (int first = 0; first < count; first += batch) {
            std::vector<tools::CollectionRecord> records;
            for (int i = first; i < std::min(count, first + batch); ++i) {
                records.push_back({prefix + std::to_string(i + 1), tools::syntheticJpeg(width, height, i)});
            }
            tools::appendRecords(path, records);
        }
    } catch (const Error& error) {
        std::fprintf(stderr, "velmora-make-collection: %s\n", error.what());
        return 1;
    }
    return 0;
}
