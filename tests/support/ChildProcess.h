#pragma once
// Programs the tests start: the stand-in service, the program itself and command-line tools.
//
// They are started with fork and exec, not with QProcess. QProcess starts its child with a
// clone that shares the parent's memory until the exec, and the child runs on the calling
// thread's own state meanwhile; under ThreadSanitizer that state is the sanitizer's record of
// the test's main thread, which the child leaves changed (its later lock operations go unseen
// and every hand-off to a worker thread is reported as a race).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class ChildProcess
{
public:
    struct Setup {
        QStringList environment;    // "NAME=value": added to this process's, or replacing
        bool readOutput = false;    // standard output into a pipe read here
        bool discardOutput = false; // standard output to /dev/null (else inherited)
        bool readErrors = false;    // standard error into a pipe read here (else inherited)
        bool endWithParent = false; // killed when this process ends, a crash included
    };

    // A program without a slash is looked for in PATH. started() says whether it runs.
    ChildProcess(const QString &program, const QStringList &arguments, const Setup &setup);
    // A child still running is killed and reaped.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool started() const { return pid_ > 0; }
    QString failure() const { return failure_; } // why it did not start
    pid_t pid() const { return pid_; }

    // Waits up to timeoutMs for more standard output; false at the time-out or at its end.
    bool waitForOutput(int timeoutMs);
    // Reads the pipes until the child has ended, for at most timeoutMs.
    bool waitForFinished(int timeoutMs);
    bool finished() const { return finished_; }
    bool exitedNormally() const { return finished_ && normalExit_; }
    int exitCode() const { return exitCode_; }

    QByteArray output() const { return output_; } // everything read so far
    QByteArray errors() const { return errors_; }

    void sendSignal(int signal);

private:
    // Reads what the pipes have within timeoutMs; false when there is nothing left to read.
    bool pump(int timeoutMs);
    void reap(bool block);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    bool finished_ = false;
    bool normalExit_ = false;
    int exitCode_ = -1;
    QByteArray output_;
    QByteArray errors_;
    QString failure_;
};

// A tool run to its end, its output and errors read.
struct ProgramRun {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
    bool succeeded() const { return finished && exitCode == 0; }
};
ProgramRun RunProgram(const QString &program, const QStringList &arguments, int timeoutMs);
