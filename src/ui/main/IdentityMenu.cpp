#include "ui/main/IdentityMenu.h"

#include <memory>

#include "ui/auxiliary/AboutDialog.h"
#include "ui/auxiliary/CameraIdDialog.h"
#include "ui/auxiliary/UserIdDialog.h"
#include "ui/main/MainMenu.h"

bool OpenIdentityWindow(int menuId, const IdentityServices &services, QWidget *parent)
{
    std::unique_ptr<QDialog> window;
    switch (menuId) {
    case MenuId::About:
        window = std::make_unique<CAboutDialog>(services, parent);
        break;
    case MenuId::EditUserId:
        window = std::make_unique<CUserIdDialog>(services, parent);
        break;
    case MenuId::EditCameraId:
        window = std::make_unique<CCameraIdDialog>(services, parent);
        break;
    default:
        return false;
    }
    window->exec();
    return true;
}
