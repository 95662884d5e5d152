#pragma once

#include <cstdint>
#include <vector>

#include <QByteArray>
#include <QString>

#include "core/common/LineLog.h"

// A pseudo-terminal pair; the test works the master side like a camera would, the code
// under test opens the slave by its path. The test keeps a slave descriptor of its own open
// so that the master does not see a hang-up whenever the port under test is closed.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool IsValid() const { return master_ >= 0 && slave_ >= 0; }
    const QString &SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    int Slave() const { return slave_; }

    // "[Ports]\nCOMn=<slave>\n" for a settings file.
    QByteArray PortsIni(int comNumber = 1) const;

    bool WriteMaster(const QByteArray &bytes) const;
    // Reads until count bytes came or the time passed.
    QByteArray ReadMaster(int count, int timeoutMs) const;
    // Closes both of the test's own ends: the port under test then sees a hang-up.
    void CloseAll();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

// Collects the lines a link logs.
class RecordingLog final : public LineLog {
public:
    void AddLogLine(const QString &line) override { lines.push_back(line); }
    std::vector<QString> lines;
};

// Milliseconds of a steady clock, for measuring how long calls take.
std::int64_t SteadyMs();

class ComPort;
// Takes bytes from the port's ring until count arrived or the time passed.
QByteArray CollectFromPort(ComPort &port, int count, int timeoutMs);
