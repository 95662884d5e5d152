#pragma once

#include "gui/tools/IdentityWindow.h"

// The menu items that show the camera's identification: "&About this application", "Edit
// user id" and "Edit camera id". Each opening makes a new window, which reads the camera
// again, runs it modally and deletes it. False for any other menu id.
bool OpenIdentityWindow(int menuId, const IdentityServices &services, QWidget *parent);
