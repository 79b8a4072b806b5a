// tovela-service as a process: one service per data folder and one per port.
#include "ServiceFixture.h"
#include "service/store/DataFolderLock.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>

extern char **environ;

namespace
{

// A tovela-service process with its standard output and error read through one pipe.
class ServiceRun
{
public:
    explicit ServiceRun(const std::vector<std::string> &args)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        std::vector<std::string> all = {TOVELA_SERVICE_BIN};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char *> argv;
        for (std::string &a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, TOVELA_SERVICE_BIN, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
    }
    ~ServiceRun()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0)
            ::close(out_);
    }
    ServiceRun(const ServiceRun &) = delete;
    ServiceRun &operator=(const ServiceRun &) = delete;

    // Reads output until `pattern` matches it, the output ends, or 20 s pass.
    std::smatch waitFor(const std::string &pattern)
    {
        std::regex re(pattern);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            std::smatch m;
            if (std::regex_search(text_, m, re))
                return m;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{out_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char buffer[1024];
            ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n <= 0)
                return {};
            text_.append(buffer, static_cast<size_t>(n));
        }
    }
    // Reads the output to its end (within 20 s).
    const std::string &readAll()
    {
        waitFor("\\x01never");
        return text_;
    }
    // The exit status once the process ends on its own (within 20 s), or -1.
    int exitCode()
    {
        for (int i = 0; i < 200 && pid_ > 0; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }
    const std::string &output() const { return text_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string text_;
};

const std::string kListening = "listening on http://127\\.0\\.0\\.1:(\\d+)";

} // namespace

TEST(ServiceStart, ASecondServiceOnTheSameFolderOrPortIsRefused)
{
    TempDir root;
    const std::string data = (root.path() / "data").string();
    ServiceRun first({"--data", data, "--port", "0"});
    std::smatch m = first.waitFor(kListening);
    ASSERT_FALSE(m.empty()) << first.output();
    const std::string port = m[1];

    // The same folder, any port: refused before it reads a table.
    ServiceRun sameFolder({"--data", data, "--port", "0"});
    EXPECT_NE(sameFolder.exitCode(), 0);
    sameFolder.readAll();
    EXPECT_NE(sameFolder.output().find("is in use by another tovela-service"), std::string::npos)
        << sameFolder.output();
    EXPECT_EQ(sameFolder.output().find("listening"), std::string::npos);

    // Another folder, the same port: the port is not shared.
    ServiceRun samePort({"--data", (root.path() / "other").string(), "--port", port});
    EXPECT_EQ(samePort.exitCode(), 1);
    samePort.readAll();
    EXPECT_NE(samePort.output().find("cannot listen on 127.0.0.1:" + port), std::string::npos)
        << samePort.output();

    // The first one serves on, alone.
    httplib::Client client("127.0.0.1", std::stoi(port));
    auto reply = client.Get("/wis/wi_login.php?mode=cookie_get");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body.size(), 32u);
}

TEST(ServiceStart, TheFolderIsFreeAgainOnceItsServiceEnds)
{
    TempDir root;
    {
        service::DataFolderLock held(root.path());
        EXPECT_THROW(service::DataFolderLock again(root.path()), service::EFolderInUse);
        ServiceRun refused({"--data", root.path().string(), "--port", "0"});
        EXPECT_NE(refused.exitCode(), 0);
    }
    // Released with its holder, also when that is a killed process.
    {
        ServiceRun first({"--data", root.path().string(), "--port", "0"});
        ASSERT_FALSE(first.waitFor(kListening).empty()) << first.output();
    }
    ServiceRun next({"--data", root.path().string(), "--port", "0"});
    EXPECT_FALSE(next.waitFor(kListening).empty()) << next.output();
}
