#pragma once

#include <array>
#include <memory>

#include <QByteArray>
#include <QString>

#include "core/common/LineLog.h"
#include "core/common/TickClock.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

// How long the simulator tests wait for a reply line.
inline constexpr int kReplyMs = 1000;

// Plays the tool against the simulator through the tool's own SerialLink on COM1.
class LinkClient {
public:
    bool Open(const QString &device, int baud)
    {
        Close();
        temp_ = std::make_unique<TempSettings>();
        temp_->WriteRaw("[Ports]\nCOM1=" + device.toLocal8Bit() + "\n");
        settings_ = std::make_unique<SettingsStore>(temp_->Path());
        comPort_ = std::make_unique<ComPort>(*settings_, dialogs_);
        link_ = std::make_unique<SerialLink>(*settings_, *comPort_,
                                             std::array<CameraLinkTransport *, 3>{&none_, &none_, &none_}, log_);
        return link_->Open(0, baud, 0);
    }

    void Close()
    {
        link_.reset();
        comPort_.reset();
        settings_.reset();
        temp_.reset();
    }

    bool SetBaud(int baud) { return link_->ReopenWithBaud(baud); }
    bool Write(const QByteArray &bytes) { return link_->SendLine(bytes); }

    // The bytes up to and including the next line feed; empty when none arrives in time.
    QByteArray ReadLine(int timeoutMs)
    {
        QByteArray line;
        const TickClock clock;
        const std::uint32_t start = clock.Now();
        char byte = 0;
        while (clock.Since(start) < static_cast<std::uint32_t>(timeoutMs)) {
            if (link_->ReadBytes(&byte, 1, timeoutMs - clock.Since(start)) != 1)
                continue;
            line.append(byte);
            if (byte == '\n')
                return line;
        }
        return {};
    }

    // Whatever arrives within the time.
    QByteArray ReadFor(int timeoutMs)
    {
        QByteArray bytes;
        const TickClock clock;
        const std::uint32_t start = clock.Now();
        char byte = 0;
        while (clock.Since(start) < static_cast<std::uint32_t>(timeoutMs)) {
            if (link_->ReadBytes(&byte, 1, timeoutMs - clock.Since(start)) == 1)
                bytes.append(byte);
        }
        return bytes;
    }

    const ScriptedDialogs &Dialogs() const { return dialogs_; }

private:
    class NullLog final : public LineLog {
    public:
        void AddLogLine(const QString &) override {}
    };

    ScriptedDialogs dialogs_;
    NullLog log_;
    NoCameraLinkTransport none_;
    std::unique_ptr<TempSettings> temp_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<ComPort> comPort_;
    std::unique_ptr<SerialLink> link_;
};
