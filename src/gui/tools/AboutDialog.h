#pragma once

#include <array>

#include "core/protocol/IdentityTexts.h"
#include "gui/tools/IdentityWindow.h"

class CLabel;
class QComboBox;
class QRadioButton;

// The tool's name and version, the camera's identification data with editing of the user id
// (and, in the extended mode, the device version), and the help documents beside the program.
class CAboutDialog final : public IdentityWindow {
    Q_OBJECT

public:
    static constexpr const char *kWebAddress = "https://www.korvel.example/";

    // Runs the whole initialisation: registration, the locked user id, the help list, the
    // placeholders, then the camera's data.
    explicit CAboutDialog(const IdentityServices &services, QWidget *parent = nullptr);

    void OnProtectUserId();
    void OnEnableUserIdEdit();
    void OnSaveUserId();
    void OnSaveDeviceVersion();
    void OnViewHelpFile();

private:
    void buildControls();
    void connectControls();
    void setUserIdLocked(bool locked);
    void fillHelpList();
    void showPlaceholders();
    void readCamera();
    void showDeviceVersion();

    QLabel *modelName_ = nullptr;
    QLabel *cameraId_ = nullptr;
    QLabel *firmware_ = nullptr;
    QLabel *fpga_ = nullptr;
    std::array<QLineEdit *, kDeviceVersionParts> deviceVersion_{};
    QPushButton *saveDeviceVersion_ = nullptr;
    QLineEdit *userId_ = nullptr;
    QPushButton *saveUserId_ = nullptr;
    QRadioButton *protect_ = nullptr;
    QRadioButton *enableEdit_ = nullptr;
    QComboBox *helpFiles_ = nullptr;
};
