#pragma once

// Times whole qnctl runs for the benchmarks that build with QNCTL_PATH defined.

#include <algorithm>
#include <cstdio>
#include <vector>

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

struct TimedQnctl {
    double ms = 0;
    int exitCode = -1;
};

// A run that does not end with 0 is reported on standard error.
inline TimedQnctl RunQnctlTimed(const QStringList &arguments)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(QNCTL_PATH), arguments);
    process.waitForFinished(600000);
    const TimedQnctl run{static_cast<double>(clock.nsecsElapsed()) / 1e6, process.exitCode()};
    if (run.exitCode != 0)
        std::fprintf(stderr, "qnctl %s ended with %d\n", qPrintable(arguments.join(u' ')), run.exitCode);
    return run;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
