#include "tests/support/TemporaryRoot.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace
{

// The watcher's whole life: it holds none of the test's output (ctest waits for every holder
// of that pipe), stays out of the terminal's signals, and waits for the test to end.
[[noreturn]] void watch(int pipeEnd, const std::string &root)
{
    int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::setsid();
    char byte;
    for (;;) {
        ssize_t n = ::read(pipeEnd, &byte, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // end of file: the test process is gone
    }
    // The test's stand-in service dies at the same moment and may still be writing below the
    // root; a few rounds outlast it.
    for (int round = 0; round < 50; ++round) {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
        if (!std::filesystem::exists(root, ec))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::_exit(0);
}

} // namespace

void useTemporaryRootOfThisProcess()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tovela-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return; // the tests still run, in the shared temporary folder
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        ::rmdir(pattern.c_str());
        return;
    }
    pid_t watcher = ::fork();
    if (watcher == 0) {
        ::close(fds[1]);
        watch(fds[0], pattern);
    }
    ::close(fds[0]);
    if (watcher < 0) {
        ::close(fds[1]);
        ::rmdir(pattern.c_str());
        return;
    }
    // The write end stays open, unseen by children (close-on-exec), until this process ends.
    ::setenv("TMPDIR", pattern.c_str(), 1);
}
