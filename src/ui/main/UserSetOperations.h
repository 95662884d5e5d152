#pragma once

#include <optional>

class AppContext;
class CCtrlToolDlg;

// The camera's flash user sets on the main window: "&Load settings" and "&Store settings" ask
// for the area in the area window; "Store All" of the factory page stores into every area.
class UserSetOperations {
public:
    UserSetOperations(AppContext &context, CCtrlToolDlg &window) : context_(context), window_(window) {}

    // Makes the camera take its settings from the chosen area, then reads them all.
    void LoadUserSet();
    // Stores the camera's working settings into the chosen area.
    void StoreUserSet();
    // After the operator's yes: stores into areas 1, 2, 3 and then the factory area, every one
    // attempted, and reports once whether all four succeeded.
    void StoreAllAreas();

private:
    // The area the operator chose; nothing when the window was cancelled.
    std::optional<int> chooseArea(int mode);

    AppContext &context_;
    CCtrlToolDlg &window_;
};
