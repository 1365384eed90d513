// Libraries opened on first use: found by soname, and a clear message when one is missing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "base/error.h"
#include "base/shared_library.h"

namespace velmora::test {
namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(SharedLibrary, FindsFunctionsByNameAndSaysWhatIsMissingAndWhichPackageBringsIt) {
    const SharedLibrary libpq("libpq.so.5", "A server collection", "libpq5");
    EXPECT_GE(libpq.function<int()>("PQlibVersion")(), 100000);
    EXPECT_EQ(messageOf([&] { libpq.function<void()>("PQnoSuchCall"); }).rfind("libpq.so.5 has no function PQnoSuchCall: ", 0), 0u);
    EXPECT_EQ(messageOf([] { SharedLibrary("libvelmora-absent.so.9", "A server collection", "libpq5"); })
                  .rfind("A server collection needs libvelmora-absent.so.9 (package libpq5), which cannot be loaded: "
                         "libvelmora-absent.so.9: cannot open shared object file", 0),
              0u);
}

}  // namespace
}  // namespace velmora::test
