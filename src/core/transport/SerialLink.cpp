#include "core/transport/SerialLink.h"

#include <algorithm>
#include <limits>

#include "core/common/LineLog.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/DevicePresence.h"
#include "core/transport/LinkLossListener.h"
#include "core/transport/NetworkAddress.h"
#include "core/transport/OpenFailure.h"

namespace {

// The link rates by BaudCode, the position in the communication window's rate list.
constexpr std::array<int, 5> kBaudOfCode = {9600, 19200, 38400, 57600, 115200};

// The preference that keeps each kind's port index, by kind.
constexpr std::array<SettingIndex, kLinkKindCount> kPortIndexSetting = {
    SettingIndex::ComPortNo,
    SettingIndex::Cameralink2000DllIndex,
    SettingIndex::Cameralink2001DllIndex,
    SettingIndex::CameralinkVer11DllIndex,
};
static_assert(static_cast<int>(SettingIndex::ComPortNo) == static_cast<int>(SettingIndex::Baudrate) + 1 &&
                  static_cast<int>(SettingIndex::CameralinkVer11DllIndex) ==
                      static_cast<int>(SettingIndex::ComPortNo) + kLinkKindCount - 1,
              "port indexes follow the rate in the preferences, one per kind");

constexpr int kComKind = static_cast<int>(LinkKind::ComPort);

// Formed from the index even past COM16; 64-bit so that the largest index cannot overflow.
QString comNameOf(int portIndex)
{
    return QStringLiteral("COM%1").arg(static_cast<long long>(portIndex) + 1);
}

} // namespace

SerialLink::SerialLink(const SettingsStore &settings, ComPort &comPort,
                       std::array<CameraLinkTransport *, 3> cameraLink, LineLog &txLog, TickClock clock)
    : settings_(settings), comPort_(comPort), cameraLink_(cameraLink), txLog_(txLog), clock_(clock)
{
    settings_.ReadInt(SettingIndex::CommunicationMode, kind_, 0);
    for (int kind = 0; kind < kLinkKindCount; ++kind)
        settings_.ReadInt(kPortIndexSetting[kind], portIndex_[kind], 0);
    // The stored rate is not read: the link always starts at 9600 bit/s.
}

SerialLink::~SerialLink()
{
    settings_.WriteInt(SettingIndex::CommunicationMode, kind_);
    settings_.WriteInt(SettingIndex::Baudrate, baud_);
    for (int kind = 0; kind < kLinkKindCount; ++kind)
        settings_.WriteInt(kPortIndexSetting[kind], portIndex_[kind]);
}

CameraLinkTransport *SerialLink::cameraLinkOf(int kind) const
{
    if (kind <= kComKind || kind >= kLinkKindCount)
        return nullptr;
    return cameraLink_[static_cast<std::size_t>(kind - 1)];
}

int SerialLink::portIndexOf(int kind) const
{
    return IsKnownLinkKind(kind) ? portIndex_[kind] : 0;
}

bool SerialLink::Open(int kind, int baud, int portIndex)
{
    // The COM port closes itself when it opens another device; a network port it keeps open
    // when only the rate changes.
    if (kind_ != kComKind || kind != kComKind)
        Close();
    kind_ = kind;
    baud_ = baud;
    if (!IsKnownLinkKind(kind))
        return false;
    portIndex_[kind] = portIndex;

    bool opened = false;
    if (kind == kComKind) {
        opened = comPort_.OpenPort(comNameOf(portIndex), baud);
    } else {
        CameraLinkTransport *transport = cameraLinkOf(kind);
        opened = transport != nullptr && transport->SelectPort(portIndex) && transport->SetBaud(baud);
    }
    // A failed open leaves a lost link lost: it is still to be found again.
    if (opened)
        lost_ = false;
    return opened;
}

bool SerialLink::ReopenQuietly(int baud)
{
    const ComPort::QuietOpen quiet(comPort_);
    return ReopenWithBaud(baud);
}

bool SerialLink::Reopen()
{
    return Open(kind_, baud_, portIndexOf(kind_));
}

bool SerialLink::ReopenWithKind(int kind)
{
    return Open(kind, baud_, portIndexOf(kind));
}

bool SerialLink::ReopenWithBaud(int baud)
{
    return Open(kind_, baud, portIndexOf(kind_));
}

bool SerialLink::ReopenWithPort(int portIndex)
{
    return Open(kind_, baud_, portIndex);
}

void SerialLink::Close()
{
    if (kind_ == kComKind)
        comPort_.ClosePort();
    else if (CameraLinkTransport *transport = cameraLinkOf(kind_))
        transport->Close();
}

bool SerialLink::SendLine(const QByteArray &bytes)
{
    CheckLoss(); // a lost link writes nothing; the line is still logged as sent
    const int count = static_cast<int>(std::min<qsizetype>(bytes.size(), std::numeric_limits<int>::max()));
    if (kind_ == kComKind) {
        comPort_.WriteBytes(bytes.constData(), count);
    } else if (IsKnownLinkKind(kind_)) {
        if (CameraLinkTransport *transport = cameraLinkOf(kind_))
            transport->Write(bytes.constData(), count, kCameraLinkWriteMs);
    } else {
        return false;
    }

    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n'))
        --end;
    txLog_.AddLogLine(QStringLiteral("Tx: ") + QString::fromLatin1(bytes.constData(), end));
    return true;
}

int SerialLink::ReadBytes(char *buffer, int count, std::uint32_t timeoutMs)
{
    // Nothing fits into a buffer of no bytes, so there is no step to make; nothing comes from
    // a lost link, so there is none to wait for.
    if (count <= 0 || CheckLoss())
        return 0;
    const std::uint32_t start = clock_.Now();
    int collected = 0;
    std::uint32_t elapsed = 0;
    do {
        collected += readStep(buffer + collected, count - collected, timeoutMs - std::min(elapsed, timeoutMs));
        if (CheckLoss())
            break;
        elapsed = clock_.Since(start);
    } while (collected < count && elapsed < timeoutMs);
    return collected;
}

bool SerialLink::CheckLoss()
{
    if (lost_)
        return true;
    const QString reason = takeLossReason();
    if (reason.isEmpty())
        return false;
    lost_ = true;
    const QString device = Device();
    // Closed at once: a kept descriptor would hold on to the vanished device, and the
    // adapter would come back under another name.
    Close();
    if (lossListener_ != nullptr)
        lossListener_->LinkLost(device, reason);
    return true;
}

QString SerialLink::takeLossReason()
{
    if (kind_ == kComKind)
        return comPort_.IsOpen() && comPort_.Lost() ? comPort_.LossReason() : QString();
    CameraLinkTransport *transport = cameraLinkOf(kind_);
    return transport != nullptr ? transport->TakeLossReason() : QString();
}

QString SerialLink::Device() const
{
    if (kind_ == kComKind)
        return settings_.PortDevice(comNameOf(portIndexOf(kind_)));
    const CameraLinkTransport *transport = cameraLinkOf(kind_);
    return transport != nullptr ? transport->PortName(portIndexOf(kind_)) : QString();
}

bool SerialLink::DeviceAvailable()
{
    if (kind_ != kComKind)
        return true;
    const QString device = Device();
    if (LooksLikeNetworkAddress(device))
        return comPort_.NetworkPortReachable(device);
    return DevicePresent(device);
}

bool SerialLink::Unreachable() const
{
    return kind_ == kComKind && !comPort_.IsOpen() && comPort_.LastOpenFailure().unreachable;
}

// One step: whatever bytes are there now, or, when none are, a wait of at most the remaining
// time for the next one instead of asking again at once.
int SerialLink::readStep(char *buffer, int count, std::uint32_t remainingMs)
{
    if (kind_ == kComKind) {
        const int taken = comPort_.ReadAvailable(buffer, count);
        if (taken > 0 || remainingMs == 0)
            return taken;
        comPort_.WaitForData(remainingMs);
        return comPort_.ReadAvailable(buffer, count);
    }

    // A Camera Link step waits up to 10 ms for its byte, but never past the caller's time-out:
    // a look at what has already arrived (time-out 0) does not stall for 10 ms.
    CameraLinkTransport *transport = cameraLinkOf(kind_);
    const std::uint32_t pace = std::min(kCameraLinkReadStepMs, remainingMs);
    const std::uint32_t stepStart = clock_.Now();
    const int got = transport != nullptr ? transport->Read(buffer, 1, pace) : 0;
    if (got > 0)
        return 1;
    // A transport that answers "nothing" at once (no port open) is paced at the step time.
    const std::uint32_t spent = clock_.Since(stepStart);
    if (spent < pace)
        TickClock::SleepMs(pace - spent);
    return 0;
}

int SerialLink::PortCount()
{
    if (kind_ == kComKind)
        return kComPortCount;
    CameraLinkTransport *transport = cameraLinkOf(kind_);
    return transport != nullptr ? transport->PortCount() : 0;
}

QString SerialLink::PortName(int index) const
{
    if (kind_ == kComKind) {
        if (index >= 0 && index < kComPortCount)
            return QStringLiteral("COM%1").arg(index + 1);
        return QStringLiteral("ERROR");
    }
    if (!IsKnownLinkKind(kind_))
        return QStringLiteral("ERROR");
    CameraLinkTransport *transport = cameraLinkOf(kind_);
    return transport != nullptr ? transport->PortName(index) : QString();
}

int SerialLink::CurrentPortIndex() const
{
    return portIndexOf(kind_);
}

int SerialLink::BaudOfCode(int code)
{
    if (code >= 0 && code < static_cast<int>(kBaudOfCode.size()))
        return kBaudOfCode[static_cast<std::size_t>(code)];
    return kBaudOfCode[0];
}

int SerialLink::CodeOfBaud() const
{
    const auto found = std::find(kBaudOfCode.begin(), kBaudOfCode.end(), baud_);
    return found == kBaudOfCode.end() ? 0 : static_cast<int>(found - kBaudOfCode.begin());
}

QString SerialLink::LastOpenFailureText() const
{
    if (const CameraLinkTransport *transport = cameraLinkOf(kind_))
        return transport->LastOpenFailureText();
    if (kind_ != kComKind || !comPort_.LastOpenFailure().failed)
        return QString();
    return DescribeOpenFailure(comPort_.LastOpenFailure(), settings_.Path());
}

bool SerialLink::CanChangeRate() const
{
    if (kind_ != kComKind)
        return true;
    const std::optional<NetworkAddress> address = ParseNetworkAddress(Device());
    return !address || address->kind != NetworkAddress::Kind::RawTcp;
}

bool SerialLink::CanCarry(int baud) const
{
    if (kind_ == kComKind)
        return CanChangeRate() || baud == baud_;
    const CameraLinkTransport *transport = cameraLinkOf(kind_);
    return transport != nullptr && transport->CanCarry(baud);
}
