#pragma once

#include "core/common/Dialogs.h"

class QWidget;

// The program's dialogs: real message boxes and file dialogs.
class QtDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageRequest &request) override;
    FileDialogResult ChooseFile(const FileDialogRequest &request) override;

    // Boxes are owned by this window when it is set (otherwise by the active window).
    void SetOwner(QWidget *owner) { owner_ = owner; }

private:
    QWidget *owner_ = nullptr;
};
