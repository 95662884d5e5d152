#pragma once

// What the command engine reports besides message boxes and log lines. The main window turns
// these into the wait cursor and the online indication of every tool window; tests record them.
class CommandEvents {
public:
    virtual ~CommandEvents() = default;
    virtual void WaitCursor(bool on) = 0;
    virtual void SetOnline(bool online) = 0;
};
