#pragma once

#include <array>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "core/common/TickClock.h"
#include "core/transport/LinkKind.h"

class CameraLinkTransport;
class ComPort;
class LineLog;
class LinkLossListener;
class SettingsStore;

// The one byte stream to the camera, whichever link kind carries it. It also keeps the link
// selection that outlives a run: kind and each kind's port index are read at creation, and
// all six fields are written back at destruction.
class SerialLink {
public:
    SerialLink(const SettingsStore &settings, ComPort &comPort,
               std::array<CameraLinkTransport *, 3> cameraLink, // kinds 1, 2, 3
               LineLog &txLog, TickClock clock = TickClock());
    ~SerialLink();
    SerialLink(const SerialLink &) = delete;
    SerialLink &operator=(const SerialLink &) = delete;

    bool Open(int kind, int baud, int portIndex);
    bool Reopen();
    bool ReopenWithKind(int kind);
    bool ReopenWithBaud(int baud);
    bool ReopenWithPort(int portIndex);
    void Close();
    bool SendLine(const QByteArray &bytes);
    int ReadBytes(char *buffer, int count, std::uint32_t timeoutMs);
    int PortCount();
    QString PortName(int index) const;
    int CurrentPortIndex() const;
    int GetKind() const { return kind_; }
    void SetKind(int kind) { kind_ = kind; }
    int Baud() const { return baud_; }
    static int BaudOfCode(int code);
    int CodeOfBaud() const;
    ComPort &Com() { return comPort_; }
    // What the operator can do about the last failed open of the current kind (the COM port's
    // device and reason, or a Camera Link library's loader or clSerialInit reason); empty when
    // it did not fail or the kind gives no reason.
    QString LastOpenFailureText() const;
    // False when the current kind and port cannot set the line's rate at all: a raw TCP port
    // talks at the rate its server's line has.
    bool CanChangeRate() const;
    // Whether the open link of the current kind can be moved to the rate (a COM port always
    // can unless it is a raw TCP port; a Camera Link port only to the rates its library
    // supports).
    bool CanCarry(int baud) const;

    // Told once when the device behind the open link goes away; the link closes itself then,
    // reads return nothing at once and stays lost until an Open succeeds. Null: nobody.
    void SetLossListener(LinkLossListener *listener) { lossListener_ = listener; }
    bool IsLost() const { return lost_; }
    // Looks for a loss now (reads and writes look anyway); true while the link is lost.
    bool CheckLoss();
    // What the current kind and port open: the COM name's device path, or the Camera Link
    // port's name.
    QString Device() const;
    // Whether that device is there to be opened (a Camera Link port can only be tried). For a
    // network port this never waits: it starts a connection on a thread of its own and is
    // true once one has connected, which the next open then takes over.
    bool DeviceAvailable();
    // Whether the last open of the COM port could not reach its device at all (a network
    // port's server that does not answer): trying other rates cannot help.
    bool Unreachable() const;
    // Open with the current kind and port at the rate, without a box when it fails: used to
    // try a device again and again.
    bool ReopenQuietly(int baud);

    static constexpr int kComPortCount = 16;
    static constexpr int kStartBaud = 9600;
    // Time limits the Camera Link transports are given.
    static constexpr std::uint32_t kCameraLinkReadStepMs = 10;
    static constexpr std::uint32_t kCameraLinkWriteMs = 500;

private:
    CameraLinkTransport *cameraLinkOf(int kind) const;
    int portIndexOf(int kind) const;
    int readStep(char *buffer, int count, std::uint32_t remainingMs);
    QString takeLossReason();

    const SettingsStore &settings_;
    ComPort &comPort_;
    std::array<CameraLinkTransport *, 3> cameraLink_;
    LineLog &txLog_;
    TickClock clock_;

    // Persisted fields, in the order they are written (preference indexes 1 to 6).
    std::int32_t kind_ = 0;
    std::int32_t baud_ = kStartBaud;
    std::array<std::int32_t, kLinkKindCount> portIndex_{}; // by kind

    LinkLossListener *lossListener_ = nullptr;
    bool lost_ = false;
};
