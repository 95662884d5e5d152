#include "QnctlRig.h"

#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QElapsedTimer>

QnctlRun QnctlRig::RunAsGiven(const QStringList &arguments, int timeoutMs) const
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(QNCTL_PATH), arguments);
    QnctlRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    run.elapsedMs = clock.elapsed();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QnctlProcess::QnctlProcess(const QStringList &arguments, bool outputClosed)
{
    int pipe[2] = {-1, -1};
    if (outputClosed && pipe2(pipe, O_CLOEXEC) == 0)
        process_.setChildProcessModifier([&pipe] { dup2(pipe[1], STDOUT_FILENO); });
    process_.start(QStringLiteral(QNCTL_PATH), arguments);
    process_.waitForStarted();
    close(pipe[0]); // no reader from here on
    close(pipe[1]);
}

QnctlProcess::~QnctlProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool QnctlProcess::waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        out_ += process_.readAllStandardOutput();
        err_ += process_.readAllStandardError();
        if (done())
            return true;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || process_.state() == QProcess::NotRunning)
            return false;
        process_.waitForReadyRead(static_cast<int>(std::min<qint64>(left, 100)));
    }
}

bool QnctlProcess::WaitForLines(int count, int timeoutMs)
{
    return waitFor([this, count] { return out_.count('\n') >= count; }, timeoutMs);
}

bool QnctlProcess::WaitForError(const QByteArray &text, int timeoutMs, int times)
{
    return waitFor([this, &text, times] { return err_.count(text) >= times; }, timeoutMs);
}

QList<QByteArray> QnctlProcess::Lines() const
{
    QList<QByteArray> lines = out_.split('\n');
    lines.removeLast(); // after the last line end: empty, or a line not yet whole
    return lines;
}

void QnctlProcess::Signal(int signal) const
{
    ::kill(static_cast<pid_t>(process_.processId()), signal);
}

QnctlRun QnctlProcess::Finish(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QnctlRun run;
    if (!process_.waitForFinished(timeoutMs)) {
        process_.kill();
        process_.waitForFinished();
    }
    run.elapsedMs = clock.elapsed();
    run.exitCode = process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    run.out = out_ + process_.readAllStandardOutput();
    run.err = err_ + process_.readAllStandardError();
    return run;
}
