#include "core/operations/LinkNegotiation.h"

#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/transport/ComPort.h"
#include "core/transport/SerialLink.h"

namespace {
constexpr int kTopRateBitCode = 16; // the camera's code for 115200 bit/s
constexpr unsigned kRateChangeTimeoutMs = 5000;
} // namespace

LinkNegotiation::LinkNegotiation(SerialLink &link, Command &command, NegotiationView &view)
    : link_(link), command_(command), view_(view)
{
}

bool LinkNegotiation::reopenAtCode(int code)
{
    link_.ReopenWithBaud(SerialLink::BaudOfCode(code));
    view_.SetBaudSelection(code);
    return !link_.Unreachable();
}

void LinkNegotiation::sendWakeUpBytes()
{
    static const char zero = 0;
    for (int i = 0; i < kWakeUpBytes; ++i)
        link_.Com().WriteBytes(&zero, 1);
}

void LinkNegotiation::WakeUpBurst()
{
    if (!link_.CanChangeRate()) {
        sendWakeUpBytes();
        return;
    }
    for (int code = kTopCode; code >= 0; --code) {
        if (!reopenAtCode(code))
            return;
        sendWakeUpBytes();
    }
}

bool LinkNegotiation::ScanRates()
{
    if (!link_.CanChangeRate())
        return view_.IdentifyModel();
    for (int code = kTopCode; code >= 0; --code) {
        if (!reopenAtCode(code))
            return false;
        if (view_.IdentifyModel())
            return true;
    }
    return false;
}

void LinkNegotiation::MoveToTopRate()
{
    const int old = link_.CodeOfBaud();
    // A link that cannot follow would leave the camera at a rate nobody talks to.
    if (old == kTopCode || !link_.CanCarry(SerialLink::BaudOfCode(kTopCode)))
        return;
    if (!command_.SetValue(CommandId::CBDRT, kTopRateBitCode, kRateChangeTimeoutMs))
        return;
    link_.ReopenWithBaud(SerialLink::BaudOfCode(kTopCode));
    if (command_.SetValue(CommandId::CBDRT, kTopRateBitCode, kRateChangeTimeoutMs))
        view_.SetBaudSelection(kTopCode);
    else
        link_.ReopenWithBaud(SerialLink::BaudOfCode(old));
}

void LinkNegotiation::NoteWhenRateFixed()
{
    if (!link_.CanChangeRate())
        view_.LogNote(QString::fromLatin1(kFixedRateNote));
}

bool LinkNegotiation::FindCamera(bool answeredAtStoredRate)
{
    // A server that could not be reached is not a camera that keeps silent: another rate
    // would only cost another connect time-out.
    if (link_.Unreachable())
        return false;
    NoteWhenRateFixed();
    WakeUpBurst();
    const bool answered = answeredAtStoredRate || ScanRates();
    if (answered)
        MoveToTopRate();
    return answered;
}
