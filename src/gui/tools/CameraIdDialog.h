#pragma once

#include <array>

#include "core/protocol/IdentityTexts.h"
#include "gui/tools/IdentityWindow.h"

// Shows the camera's ten-character id, one character per field; the extended control mode
// writes it back.
class CCameraIdDialog final : public IdentityWindow {
    Q_OBJECT

public:
    // Left to right.
    static constexpr std::array<int, kCameraIdCharacters> kCharacterEdits = {1029, 1030, 1031, 1032, 1033,
                                                                             1034, 1035, 1036, 1037, 1042};
    static constexpr int kSaveButton = 1050;
    static constexpr int kStatusStrip = 1065;

    // Registers, reads the id from the camera and offers "Save" in the extended mode only.
    explicit CCameraIdDialog(const IdentityServices &services, QWidget *parent = nullptr);

    void OnSave();

private:
    std::array<QLineEdit *, kCameraIdCharacters> characters_{};
};
