#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QString>

// A serial device server on 127.0.0.1 that plays a script against the one client it accepts.
// Without a script it accepts nobody and its queue is full: connections to it hang, as to a
// host that drops every packet.
class ScriptedServer {
public:
    using Script = std::function<void(ScriptedServer &)>;
    explicit ScriptedServer(Script script = {});
    ~ScriptedServer(); // ends the script's waits, joins its thread
    quint16 Port() const { return port_; }
    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(port_); }

    // For the script; each is false or nothing once the client left or the server ends.
    bool Send(const QByteArray &bytes);
    // What follows the pattern's next arrival (count bytes).
    std::optional<QByteArray> AwaitAfter(const QByteArray &pattern, int count = 0);
    quint32 AwaitRateRequest(); // 0 for nothing
    bool ConfirmRate(quint32 rate);
    // Agrees to the COM Port Control Option and confirms the first rate asked for.
    bool Agree();
    // Reads nothing more until the server ends.
    void Idle();
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
