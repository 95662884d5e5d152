#pragma once

// What the command engine reports besides message boxes and log lines. The main window turns
// these into the wait cursor and the online indication of every tool window; tests record them.
class CommandEvents {
public:
    virtual ~CommandEvents() = default;
    virtual void WaitCursor(bool on) = 0;
    virtual void SetOnline(bool online) = 0;
    // The engine has sent a line and waits a fixed time before it looks for the reply; what
    // is done here comes out of that wait. Short work only, and nothing that uses the engine.
    virtual void Waiting() {}
};
