#pragma once

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Menu command ids of the main window.
namespace MenuId {
inline constexpr int Open = 30008;
inline constexpr int SaveAllData = 30011;
inline constexpr int SaveShippingData = 30012;
// The camera compared with a setting file, in a window of its own.
inline constexpr int CompareWithSettingFile = 30013;
inline constexpr int Exit = 2;
inline constexpr int Reload = 30002;
inline constexpr int LoadSettings = 30004;
inline constexpr int StoreSettings = 30003;
inline constexpr int EditUserId = 30000;
inline constexpr int EditCameraId = 30005;
inline constexpr int OpenLutFile = 30006;
inline constexpr int SaveLutFile = 30007;
inline constexpr int LoadAllLutTables = 30009;
inline constexpr int About = 30001;
inline constexpr int OpenCommunicationDialog = 30010;
// The platform's own item: which device each COM name opens.
inline constexpr int SerialPorts = 30100;
// A checkable item: replies taken as soon as their lines are complete.
inline constexpr int FastReplies = 30101;
} // namespace MenuId

// Builds the main window's menu bar from its table; every item calls the handler with its id.
// Returns the "Utility(&U)" menu, whose state follows the control mode.
QMenu *BuildMainMenu(QMenuBar &bar, const std::function<void(int menuId)> &handler);
// The item with that id, nullptr when there is none.
QAction *FindMenuAction(const QMenuBar &bar, int menuId);
