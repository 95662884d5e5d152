#pragma once

#include <QString>
#include <QStringList>

#include "core/common/Dialogs.h"

// The message boxes of the core, for a program without windows: each box is printed to
// standard error as one message, and every question gets the safe answer (No, Cancel) unless
// the operator said --force, which answers Yes. File dialogs are never shown: the command
// line names its files.
class ConsoleDialogs final : public Dialogs {
public:
    explicit ConsoleDialogs(bool force) : force_(force) {}

    MessageAnswer ShowMessage(const MessageRequest &request) override;
    FileDialogResult ChooseFile(const FileDialogRequest &request) override;

    // The boxes shown so far, as printed, for a JSON report.
    const QStringList &Shown() const { return shown_; }

private:
    bool force_;
    QStringList shown_;
};
