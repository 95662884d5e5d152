#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include <QByteArray>
#include <QString>

// A serial device server on 127.0.0.1 that plays a script against the one client it accepts:
// how a network port copes with a server that floods, talks out of turn or stops listening.
// With no script it never accepts, and its queue is full: a connection to it hangs, like one to
// a host that drops every packet.
class ScriptedServer {
public:
    using Script = std::function<void(ScriptedServer &)>;
    explicit ScriptedServer(Script script = {});
    ~ScriptedServer(); // the script's waits end; its thread is joined
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    quint16 Port() const { return port_; }
    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port_); }

    // For the script: false once the client has gone or the server is ending.
    bool Send(const QByteArray &bytes);
    // Agrees to the COM Port Control Option (DO COM-PORT-OPTION).
    bool AgreeComPort();
    // Reads until the pattern came and then count bytes more, and gives those; nothing when the
    // client went away or the server is ending.
    std::optional<QByteArray> AwaitAfter(const QByteArray &pattern, int count = 0);
    // The rate of the client's next SET-BAUDRATE request; 0 as AwaitAfter gives nothing.
    quint32 AwaitRateRequest();
    // Tells the client that the line now runs at the rate.
    bool ConfirmRate(quint32 rate);
    // Agrees, then confirms every rate asked for until the server ends.
    void ConfirmEveryRate();
    bool Ending() const { return ending_.load(); }

private:
    int listener_ = -1;
    int client_ = -1;
    quint16 port_ = 0;
    QByteArray received_;
    std::atomic<bool> ending_{false};
    std::vector<int> fillers_;
    std::thread thread_;
};
