#include "tests/support/ChildProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace
{

// NUL-terminated strings and the pointer array execve wants, all made before the fork: the
// child of a threaded process may only make async-signal-safe calls.
struct CStrings {
    std::vector<QByteArray> strings;
    std::vector<char *> pointers;
    char **data()
    {
        pointers.clear();
        for (QByteArray &s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
        return pointers.data();
    }
};

CStrings environmentWith(const QStringList &changes)
{
    CStrings env;
    for (char **e = environ; *e; ++e)
        env.strings.emplace_back(*e);
    for (const QString &change : changes) {
        const QByteArray entry = change.toLocal8Bit();
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        std::erase_if(env.strings, [&](const QByteArray &e) { return e.startsWith(name); });
        env.strings.push_back(entry);
    }
    return env;
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

ChildProcess::ChildProcess(const QString &program, const QStringList &arguments, const Setup &setup)
{
    const QString path =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty() || ::access(QFile::encodeName(path).constData(), X_OK) != 0) {
        failure_ = program + QStringLiteral(" is not an executable program");
        return;
    }
    CStrings argv;
    argv.strings.push_back(QFile::encodeName(path));
    for (const QString &a : arguments)
        argv.strings.push_back(a.toLocal8Bit());
    CStrings env = environmentWith(setup.environment);

    int out[2] = {-1, -1}, err[2] = {-1, -1};
    if ((setup.readOutput && ::pipe2(out, O_CLOEXEC) != 0) ||
        (setup.readErrors && ::pipe2(err, O_CLOEXEC) != 0)) {
        failure_ = QString::fromLocal8Bit(std::strerror(errno));
        for (int *fd : {&out[0], &out[1], &err[0], &err[1]})
            closeFd(*fd);
        return;
    }
    int devNull = setup.discardOutput ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : -1;
    const pid_t parent = ::getpid();
    char **argvData = argv.data();
    char **envData = env.data();

    pid_ = ::fork();
    if (pid_ == 0) {
        if (setup.endWithParent) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                ::_exit(127);
        }
        if (out[1] >= 0)
            ::dup2(out[1], STDOUT_FILENO);
        else if (devNull >= 0)
            ::dup2(devNull, STDOUT_FILENO);
        if (err[1] >= 0)
            ::dup2(err[1], STDERR_FILENO);
        ::execve(argvData[0], argvData, envData);
        ::_exit(127);
    }
    if (pid_ < 0)
        failure_ = QString::fromLocal8Bit(std::strerror(errno));
    closeFd(out[1]);
    closeFd(err[1]);
    closeFd(devNull);
    outFd_ = out[0];
    errFd_ = err[0];
    if (pid_ < 0) {
        closeFd(outFd_);
        closeFd(errFd_);
    }
}

ChildProcess::~ChildProcess()
{
    if (started() && !finished_) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
    closeFd(outFd_);
    closeFd(errFd_);
}

bool ChildProcess::pump(int timeoutMs)
{
    pollfd fds[2];
    int count = 0;
    for (int fd : {outFd_, errFd_})
        if (fd >= 0)
            fds[count++] = {fd, POLLIN, 0};
    if (count == 0 || ::poll(fds, count, timeoutMs) <= 0)
        return false;
    for (int i = 0; i < count; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const bool isOutput = fds[i].fd == outFd_;
        char buffer[65536];
        ssize_t n;
        do
            n = ::read(fds[i].fd, buffer, sizeof buffer);
        while (n < 0 && errno == EINTR);
        if (n <= 0)
            closeFd(isOutput ? outFd_ : errFd_);
        else
            (isOutput ? output_ : errors_).append(buffer, n);
    }
    return true;
}

bool ChildProcess::waitForOutput(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const qsizetype before = output_.size();
    while (outFd_ >= 0 && output_.size() == before && !deadline.hasExpired())
        pump(int(deadline.remainingTime()));
    return output_.size() > before;
}

bool ChildProcess::waitForFinished(int timeoutMs)
{
    if (!started())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    while (!finished_ && !deadline.hasExpired()) {
        // The pipes are read meanwhile: a child blocked on a full pipe would never end.
        if (outFd_ >= 0 || errFd_ >= 0)
            pump(int(std::min<qint64>(deadline.remainingTime(), 20)));
        else
            ::usleep(10000);
        reap(false);
    }
    // What the child wrote just before it ended.
    while (finished_ && pump(0))
        ;
    return finished_;
}

void ChildProcess::reap(bool block)
{
    int status = 0;
    pid_t r;
    do
        r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r != pid_)
        return;
    finished_ = true;
    normalExit_ = WIFEXITED(status);
    exitCode_ = normalExit_ ? WEXITSTATUS(status) : -1;
}

void ChildProcess::sendSignal(int signal)
{
    if (started() && !finished_)
        ::kill(pid_, signal);
}

ProgramRun RunProgram(const QString &program, const QStringList &arguments, int timeoutMs)
{
    ChildProcess::Setup setup;
    setup.readOutput = setup.readErrors = true;
    ChildProcess child(program, arguments, setup);
    ProgramRun run;
    if (!child.started()) {
        run.errors = child.failure().toLocal8Bit();
        return run;
    }
    child.waitForFinished(timeoutMs);
    run.finished = child.exitedNormally();
    run.exitCode = child.exitCode();
    run.output = child.output();
    run.errors = child.errors();
    return run;
}
