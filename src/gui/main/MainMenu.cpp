#include "gui/main/MainMenu.h"

#include <array>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

// One row per item: the top-level menu, an optional submenu, the item text, its id, and
// whether it carries a check mark.
struct MenuItem {
    const char *menu;
    const char *submenu;
    const char *text;
    int id;
    bool checkable = false;
};

constexpr std::array<MenuItem, 17> kMenuItems = {{
    {"File(&F)", nullptr, "&Open", MenuId::Open},
    {"File(&F)", "&Save as", "All Data", MenuId::SaveAllData},
    {"File(&F)", "&Save as", "Shipping Data", MenuId::SaveShippingData},
    {"File(&F)", nullptr, "&Compare with Setting File...", MenuId::CompareWithSettingFile},
    {"File(&F)", nullptr, "E&xit", MenuId::Exit},
    {"Settings(&S)", nullptr, "&Reload", MenuId::Reload},
    {"Settings(&S)", nullptr, "&Load settings", MenuId::LoadSettings},
    {"Settings(&S)", nullptr, "&Store settings", MenuId::StoreSettings},
    {"Settings(&S)", nullptr, "Serial ports...", MenuId::SerialPorts},
    {"Settings(&S)", nullptr, "Fast replies", MenuId::FastReplies, true},
    {"Utility(&U)", nullptr, "Edit user id", MenuId::EditUserId},
    {"Utility(&U)", nullptr, "Edit camera id", MenuId::EditCameraId},
    {"LUT(&L)", nullptr, "&Open LUT file", MenuId::OpenLutFile},
    {"LUT(&L)", nullptr, "&Save LUT file", MenuId::SaveLutFile},
    {"LUT(&L)", nullptr, "&Load all LUT table", MenuId::LoadAllLutTables},
    {"Help(&H)", nullptr, "&About this application", MenuId::About},
    {"Help(&H)", nullptr, "&Open Communication Dialog", MenuId::OpenCommunicationDialog},
}};

QMenu *childMenu(QWidget &parent, const QString &title)
{
    for (QAction *action : parent.actions()) {
        if (action->menu() && action->text() == title)
            return action->menu();
    }
    return nullptr;
}

} // namespace

QMenu *BuildMainMenu(QMenuBar &bar, const std::function<void(int menuId)> &handler)
{
    QMenu *utility = nullptr;
    for (const MenuItem &item : kMenuItems) {
        const QString title = QString::fromUtf8(item.menu);
        QMenu *menu = childMenu(bar, title);
        if (!menu)
            menu = bar.addMenu(title);
        if (title == QStringLiteral("Utility(&U)"))
            utility = menu;
        if (item.submenu) {
            const QString subtitle = QString::fromUtf8(item.submenu);
            QMenu *sub = childMenu(*menu, subtitle);
            menu = sub ? sub : menu->addMenu(subtitle);
        }
        QAction *action = menu->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        action->setCheckable(item.checkable);
        const int id = item.id;
        QObject::connect(action, &QAction::triggered, &bar, [handler, id] { handler(id); });
    }
    return utility;
}

QAction *FindMenuAction(const QMenuBar &bar, int menuId)
{
    for (QAction *action : bar.findChildren<QAction *>()) {
        if (!action->menu() && action->data().toInt() == menuId && action->data().isValid())
            return action;
    }
    return nullptr;
}
