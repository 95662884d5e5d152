#pragma once

#include <functional>
#include <optional>

class AppContext;
class CParameterAreaSelectDialog;
class GuardedOperation;
class QWidget;

// The camera's flash user sets on the main window: "&Load settings" and "&Store settings" ask
// for the area in the area window; "Store All" of the factory page stores into every area.
class UserSetOperations {
public:
    // Runs the area window to its end and returns its result (QDialog::Accepted or Rejected).
    using AreaWindowRun = std::function<int(CParameterAreaSelectDialog &)>;

    // The area window opens over window; a load that succeeded calls reloadAllSettings.
    UserSetOperations(AppContext &context, QWidget &window, std::function<void()> reloadAllSettings);

    // The operator's modal run unless replaced (an empty function puts it back): a test works
    // the window without a modal loop.
    void SetAreaWindowRun(AreaWindowRun run);

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
    // Held while the procedure talks to the camera: nothing else starts an exchange meanwhile.
    GuardedOperation guard() const;

    AppContext &context_;
    QWidget &window_;
    std::function<void()> reloadAllSettings_;
    AreaWindowRun runAreaWindow_;
};
