#pragma once

class Command;
class CCommunicationDialog;
class CProgressBarDialog;
class QAction;
class QLabel;
class SettingsStore;

// The operator's choice between paced and fast replies: the engine's mode, the progress
// window's closing hold (none when fast), the stored preference, the menu item's check mark
// and the label beside the page tabs always agree.
// A switch is logged in the communication window's message log.
class FastRepliesSwitch {
public:
    FastRepliesSwitch(Command &command, CProgressBarDialog &progress, SettingsStore &settings,
                      CCommunicationDialog &log, QAction &item, QLabel &label);

    bool IsOn() const;
    // Stores and logs only a change; the menu and the label follow either way.
    void Set(bool fast);
    void Toggle() { Set(!IsOn()); }

private:
    void show();

    Command &command_;
    CProgressBarDialog &progress_;
    SettingsStore &settings_;
    CCommunicationDialog &log_;
    QAction &item_;
    QLabel &label_;
};
