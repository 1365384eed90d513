#pragma once
// A folder on a small file system that a test can fill or make read-only. Where the
// test may mount (root, as in CI), a tmpfs of a few MB is mounted over a temporary
// folder; otherwise the folder is plain and "full" means RLIMIT_FSIZE = 0 for this
// process, with SIGXFSZ ignored, so every write that would grow a file fails.

#include <sys/resource.h>

#include <cstddef>
#include <string>

#include "tests/support/temp_dir.h"

namespace velmora::test {

class SmallDisk {
public:
    // Mounts over `folder` when given (created if missing), else over a new temporary folder.
    explicit SmallDisk(std::size_t bytes = 4u << 20, std::string folder = {});
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    const std::string& folder() const { return folder_; }
    std::string file(const std::string& name) const { return folder_ + "/" + name; }
    bool mounted() const { return mounted_; }

    // Afterwards no file can grow: the tmpfs is filled to the last block with a filler
    // file (named kFiller), or the file size limit is 0. release() undoes it.
    void fill();
    void release();
    static constexpr const char* kFiller = "filler.bin";

    // Makes everything in it read-only for this process, also for root: the tmpfs is
    // remounted read-only, else (not root) the folder and its files lose their write
    // bits. False when neither is possible (root without the right to mount).
    bool makeReadOnly();

private:
    TempDir temp_;
    std::string folder_;
    bool mounted_ = false;
    bool limited_ = false;
    bool readOnlyByMode_ = false;
    rlimit saved_{};
};

}  // namespace velmora::test
