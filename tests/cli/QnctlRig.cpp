#include "QnctlRig.h"

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
