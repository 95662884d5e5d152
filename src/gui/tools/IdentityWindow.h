#pragma once

#include <QDialog>

#include "gui/common/OnlineStatus.h"
#include "gui/common/UrlOpener.h"
#include "gui/main/ControlRegistry.h"

class CameraModel;
class Command;
class ControlModeSetting;
class Dialogs;
class QLineEdit;
class QPushButton;
class WindowList;

// What the identification windows (About, user id, camera id) work with.
struct IdentityServices {
    Command &command;
    CameraModel &cameraModel;
    const ControlModeSetting &controlMode;
    Dialogs &dialogs;
    OnlineStatus &onlineStatus;
    WindowList &windowList;
    UrlOpener openUrl;
};

// The common frame of the identification windows: modal, opened for one look at the camera and
// destroyed afterwards. Registered with the online status and the window list for its life;
// controls are found by id; a status strip along the bottom edge.
class IdentityWindow : public QDialog, public COnlineStatusUpdater {
    Q_OBJECT

public:
    ~IdentityWindow() override;

    QWidget *FindControl(int controlId) const { return controls_.Find(controlId); }
    // Nothing beyond the strip changes with the line.
    void OnOnlineStatusChanged(int online) override;

protected:
    IdentityWindow(const IdentityServices &services, const QString &title, QWidget *parent);

    // Registration comes first in each window's initialisation.
    void Register();
    bool ExtendedMode() const;

    // Buttons never become the default: Enter closes the window and does not write anything.
    QPushButton *MakeButton(int controlId, const QString &text);
    QLineEdit *MakeEdit(int controlId, const QString &accessibleName);
    QLabel *MakeStrip(int controlId);

    const IdentityServices services_;
    ControlRegistry controls_;

private:
    bool registered_ = false;
};
