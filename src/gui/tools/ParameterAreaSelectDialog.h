#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include "gui/common/OnlineStatus.h"
#include "gui/main/ControlRegistry.h"

class ControlModeSetting;
class QComboBox;
class WindowList;

// Asks which of the camera's flash areas to load the settings from or to store them into.
// Made for one run, registered with the online status and the window list for its life.
class CParameterAreaSelectDialog final : public QDialog, public COnlineStatusUpdater {
    Q_OBJECT

public:
    enum Mode { Store = 0, Load = 1 };
    static constexpr int kAreaList = 1015;
    static constexpr int kPrompt = 1020;
    static constexpr int kSeparator = 30015;
    static constexpr int kStatusStrip = 1086;
    static constexpr int kOkButton = 1;
    static constexpr int kCancelButton = 2;
    static constexpr int kInvalidArea = -1;

    struct Services {
        OnlineStatus &onlineStatus;
        WindowList &windowList;
        const ControlModeSetting &controlMode;
    };

    CParameterAreaSelectDialog(const Services &services, int mode, QWidget *parent = nullptr);
    ~CParameterAreaSelectDialog() override;

    // The entries offered: "Factory" for loading, and for storing in the extended mode only.
    static QStringList AreaEntries(int mode, bool extendedMode);
    // 0 "Factory", 1..3 "User n", kInvalidArea for any other text.
    static int AreaOfEntry(const QString &entry);

    // Valid after OK.
    int ChosenArea() const { return chosenArea_; }
    int Mode() const { return mode_; }
    QWidget *FindControl(int controlId) const { return controls_.Find(controlId); }

    // The OK handler: takes the list's text as the chosen area, then closes.
    void accept() override;

private:
    const Services services_;
    const int mode_;
    ControlRegistry controls_;
    QComboBox *areaList_ = nullptr;
    int chosenArea_ = kInvalidArea;
};
