#pragma once

#include <vector>

#include <QString>

// Receives the "Tx: " and "Rx: " lines of the link. The terminal and the communication
// window's message log are the listeners in the program; tests are others.
class LineLog {
public:
    virtual ~LineLog();
    virtual void AddLogLine(const QString &line) = 0;
};

// Forwards every line to the sinks registered with it, in registration order.
class LineLogFanout final : public LineLog {
public:
    void AddLogLine(const QString &line) override;
    void Register(LineLog &sink);
    void Unregister(LineLog &sink);

private:
    std::vector<LineLog *> sinks_;
};
