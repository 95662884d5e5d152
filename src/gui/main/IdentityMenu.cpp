#include "gui/main/IdentityMenu.h"

#include <memory>

#include "gui/main/MainMenu.h"
#include "gui/tools/AboutDialog.h"
#include "gui/tools/CameraIdDialog.h"
#include "gui/tools/UserIdDialog.h"

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
