#pragma once

#include "core/protocol/CommandEvents.h"

class OnlineStatus;

// Turns the command engine's reports into the wait cursor and the online indication of
// every tool window.
class UiCommandEvents final : public CommandEvents {
public:
    explicit UiCommandEvents(OnlineStatus &onlineStatus) : onlineStatus_(onlineStatus) {}
    void WaitCursor(bool on) override;
    void SetOnline(bool online) override;
    // The windows repaint what they have asked to while the engine waits for a reply.
    void Waiting() override;

private:
    OnlineStatus &onlineStatus_;
};
