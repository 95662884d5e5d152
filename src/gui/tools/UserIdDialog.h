#pragma once

#include "gui/tools/IdentityWindow.h"

// Shows the camera's user id and writes it back.
class CUserIdDialog final : public IdentityWindow {
    Q_OBJECT

public:
    static constexpr int kUserIdEdit = 1039;
    static constexpr int kSaveButton = 1040;
    static constexpr int kStatusStrip = 1068;

    // Registers and reads the user id from the camera.
    explicit CUserIdDialog(const IdentityServices &services, QWidget *parent = nullptr);

    void OnSave();

private:
    QLineEdit *userId_ = nullptr;
};
