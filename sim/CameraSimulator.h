#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>

struct SimulatorOptions {
    QString model = QStringLiteral("QN-5200RL-BDXP");
    int baud = 9600;        // the camera's starting rate
    int processingUs = 1000; // time before a reply starts
    QString linkPath;       // optional symlink to the slave side
    QString statePath;      // optional state file (areas, identification)
    int procedureMs = 200;  // calibration / one-shot duration
    bool asShipped = false; // a shipped camera's values (a working line rate), not bare zeros
};

// One thing that went over the wire, as the camera saw it.
//  Received: a line the camera understood, without its line end.
//  Sent:     the bytes the camera wrote, exactly (normally a line with CR LF).
//  Garbage:  bytes that arrived while the line speed differed from the camera's rate.
//  ZeroByte: one zero byte (ignored by the camera).
// baud is the camera's rate at that moment; timeUs is steady-clock microseconds; lineSpeed is
// the speed the tool's side of the line was set to when the bytes arrived (for bytes the
// camera received; 0 when it could not be read). Received lines always have lineSpeed == baud.
struct WireEvent {
    enum class Kind { Received, Sent, Garbage, ZeroByte };
    Kind kind;
    QByteArray data;
    int baud;
    qint64 timeUs;
    int lineSpeed = 0;
};

// How the camera comes back when it is plugged in again.
struct PlugOptions {
    bool powerCycle = false;         // comes back at 9600 bit/s with its power-up values
    std::optional<QString> model;    // comes back as another camera: its model name...
    std::optional<QString> cameraId; // ...and camera id ("ID")
};

class SimulatorEngine;

// A camera of the family on a pseudo-terminal. The tool opens SlavePath() like a serial port;
// the simulator serves the master side on a worker thread. Every method is thread-safe.
class CameraSimulator {
public:
    explicit CameraSimulator(SimulatorOptions options = {});
    ~CameraSimulator();
    CameraSimulator(const CameraSimulator &) = delete;
    CameraSimulator &operator=(const CameraSimulator &) = delete;

    bool Start(); // opens the pty and starts the worker thread
    void Stop();
    QString SlavePath() const; // e.g. /dev/pts/7; the last one while unplugged

    // The camera's side of the line goes away, as when a USB adapter is pulled: the master
    // side and the simulator's own slave descriptor are closed, so a descriptor the tool holds
    // on the slave sees the hang-up (POLLHUP; a read gives end of file, or fails with EIO on
    // older kernels; a write fails with EIO), and the link path (if any) is removed. The
    // camera's state is kept. Idempotent.
    void Unplug();
    // A new pseudo-terminal appears; the link path (if any) points at it again (created
    // atomically: a new symlink renamed over the path). SlavePath() is the new one. With
    // powerCycle the camera is as after power-up: back at 9600 bit/s, its parameters back
    // to the values it powers up with (what its stored power-up area holds, or the defaults),
    // identification kept unless model/cameraId are given (a new identification goes to the
    // state file). When plugged in already, it is unplugged first. False when no pty can be
    // opened; the camera then stays unplugged.
    bool Replug(const PlugOptions &options = {});
    // A power cycle without unplugging: back to 9600 bit/s and the power-up values.
    void PowerCycle();
    bool IsPlugged() const;

    // Wire log.
    std::vector<WireEvent> WireLog() const;
    QList<QByteArray> ReceivedLines() const; // lines the camera understood, without CR/LF
    void ClearWireLog();
    bool WaitForReceivedLines(int count, int timeoutMs) const;

    // Camera state.
    int Baud() const;
    void SetBaud(int baud);
    QString Model() const;
    void SetModel(const QString &model);
    std::optional<qint64> Value(const QString &mnemonic) const;
    void SetValue(const QString &mnemonic, qint64 value); // bypasses limits and adjustments
    QString Text(const QString &mnemonic) const;          // "ID", "UD", "DV", "VN" ...
    void SetText(const QString &mnemonic, const QString &text); // bypasses checks and limits
    // The shading correction tables: channel 0 G, 1 R, 2 B; index 1..1024.
    qint64 ShadingEntry(int channel, int index) const;
    void SetShadingEntry(int channel, int index, qint64 value);

    // Faults.
    void StopAnswering();
    void StopAnsweringAfter(int lines);
    void ResumeAnswering();
    void SetReplyDelayMs(int ms);
    void ReplaceNextReply(const QByteArray &line); // sent instead of the real reply, as is
    void RefuseMnemonic(const QString &mnemonic,
                        const QByteArray &errorText = "Error: command not supported");
    void AcceptMnemonic(const QString &mnemonic); // undoes RefuseMnemonic
    void ForceResultCode(const QString &mnemonic, int code); // start or status mnemonic
    void HangUp(); // an Unplug that leaves the link path in place, dangling

private:
    std::unique_ptr<SimulatorEngine> engine_;
};
