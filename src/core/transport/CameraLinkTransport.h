#pragma once

#include <cstdint>

#include <QString>

// What SerialLink needs of each Camera Link kind. Port indexes are positions in the
// transport's own port list.
class CameraLinkTransport {
public:
    virtual ~CameraLinkTransport();
    virtual int PortCount() = 0;                   // refreshes the list
    virtual QString PortName(int index) const = 0; // "" when out of range
    virtual bool SelectPort(int index) = 0;
    virtual bool SetBaud(int bitsPerSecond) = 0;
    virtual void Close() = 0;
    virtual bool Write(const char *bytes, int count, std::uint32_t timeoutMs) = 0;
    virtual int Read(char *buffer, int count, std::uint32_t timeoutMs) = 0;
    // Whether SetBaud would accept the rate now, asked without telling the operator anything.
    virtual bool CanCarry(int bitsPerSecond) const;
    // Why the last SelectPort failed, for the operator; empty when it did not fail.
    virtual QString LastOpenFailureText() const;
    // Why the open port is lost (its reads fail hard), once: empty when it is not, and empty
    // again after it has been taken.
    virtual QString TakeLossReason();
};

// Stands in for a kind whose library support is not there: it lists no ports and every
// primitive answers "not available" rather than pretending to work.
class NoCameraLinkTransport final : public CameraLinkTransport {
public:
    int PortCount() override { return 0; }
    QString PortName(int) const override { return QString(); }
    bool SelectPort(int) override { return false; }
    bool SetBaud(int) override { return false; }
    void Close() override {}
    bool Write(const char *, int, std::uint32_t) override { return false; }
    int Read(char *, int, std::uint32_t) override { return 0; }
    bool CanCarry(int) const override { return false; }
};
