// A file shortened by another program while it is mapped: reading the vanished pages
// neither ends the program nor passes the zeros off as the file's bytes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>

#include <string>

#include "store/imagefile/file_access.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

TEST(MappingGuard, AFileShortenedWhileMappedReadsAsDamagedNotAsACrash) {
    test::TempDir dir;
    const std::string path = dir.file("shrinking.bin");
    const std::string bytes(1024 * 1024, 'x');
    test::writeFile(path, bytes);
    InputFile file(path);
    const MappedFile mapped(file);
    ASSERT_NE(mapped.data(), nullptr);
    EXPECT_TRUE(mapped.intact());
    ASSERT_EQ(::truncate(path.c_str(), 4096), 0);  // what another program may do meanwhile

    unsigned sum = 0;
    for (std::size_t i = 0; i < mapped.size(); i += 512) sum += mapped.data()[i];
    EXPECT_EQ(sum, 8u * 'x');  // the first page as it was, then zeros
    EXPECT_FALSE(mapped.intact());

    // A fault outside every mapping still ends the program as before.
    EXPECT_DEATH(
        {
            const std::string other = dir.file("other.bin");
            test::writeFile(other, std::string(65536, 'y'));
            const int fd = ::open(other.c_str(), O_RDONLY);
            auto* raw = static_cast<const volatile char*>(::mmap(nullptr, 65536, PROT_READ, MAP_SHARED, fd, 0));
            ::ftruncate(::open(other.c_str(), O_RDWR), 0);
            (void)raw[40000];
        },
        "");
}

volatile sig_atomic_t queuedSeen = 0;

// What another program can send: SIGBUS with si_code SI_QUEUE and any address in it.
void queueBusError(const void* address) {
    siginfo_t info{};
    info.si_signo = SIGBUS;
    info.si_code = SI_QUEUE;
    info.si_addr = const_cast<void*>(address);
    ::syscall(SYS_rt_tgsigqueueinfo, ::getpid(), ::gettid(), SIGBUS, &info);
}

// In a fresh process each (so the guard is installed over the handler set here): the
// page a queued SIGBUS names keeps its bytes and the mapping is not marked damaged; the
// signal goes to the handler there was before, or ends the program as SIG_DFL does.
TEST(MappingGuard, ASignalSentByAProgramLeavesTheMappingAlone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    test::TempDir dir;
    const std::string path = dir.file("sound.bin");
    test::writeFile(path, std::string(65536, 'x'));
    auto sendToMapping = [&](void (*handler)(int, siginfo_t*, void*)) {
        struct sigaction action {};
        action.sa_sigaction = handler;
        action.sa_flags = handler ? SA_SIGINFO : 0;
        ::sigaction(SIGBUS, &action, nullptr);
        InputFile file(path);
        const MappedFile mapped(file);
        queueBusError(mapped.data() + 8192);
        const bool untouched = mapped.data() && mapped.intact() && mapped.data()[8192] == 'x';
        std::_Exit(untouched && queuedSeen == 1 ? 0 : 1);
    };
    EXPECT_EXIT(sendToMapping([](int, siginfo_t* info, void*) { queuedSeen = info->si_code == SI_QUEUE; }),
                testing::ExitedWithCode(0), "");
    EXPECT_EXIT(sendToMapping(nullptr), testing::KilledBySignal(SIGBUS), "");
}

}  // namespace
}  // namespace velmora
