#pragma once

#include <QDialog>

#include "core/formats/LutCurve.h"
#include "gui/common/OnlineStatus.h"
#include "gui/main/ControlRegistry.h"

class Command;
class CProgressBarDialog;
class Dialogs;
class LutGraph;
class OperationGuard;
class QLabel;
class QMouseEvent;
class SpinButton;
class WindowList;

// The look-up table editor of one colour channel: the table as a curve through draggable edit
// points, read from and written to the camera. Lives for the whole run; Enter does nothing,
// the close box and Escape only hide it.
class CLUTDlg final : public QDialog, public COnlineStatusUpdater {
    Q_OBJECT

public:
    enum Mode { EditMode = 0, ViewMode = 1 };

    static constexpr int kGraphId = 1056;
    static constexpr int kModeTextId = 1136;
    static constexpr int kReadButtonId = 1133;
    static constexpr int kWriteButtonId = 1054;
    static constexpr int kClearButtonId = 1055;
    static constexpr int kConvertButtonId = 1057;
    static constexpr int kPointCountEditId = 1134;
    static constexpr int kPointCountSpinId = 1135;
    static constexpr int kTableTypeListId = 1053;
    static constexpr int kWriteAllButtonId = 1058;
    static constexpr int kStatusStripId = 1067;
    // The graph's position in the window; mouse positions are taken relative to it.
    static constexpr int kGraphLeft = 160;
    static constexpr int kGraphTop = 20;

    struct Services {
        Command &command;
        Dialogs &dialogs;
        OnlineStatus &onlineStatus;
        WindowList &windowList;
        CProgressBarDialog &progress;
        OperationGuard &operations;
    };

    // channelIndex: 0 red, 1 green, 2 blue.
    CLUTDlg(int channelIndex, const Services &services, QWidget *parent = nullptr);
    ~CLUTDlg() override;

    // True when all 256 entries were read; the window shows the table in View Mode either way.
    bool ReadTableFromCamera();
    // Writes this window's table to the channel's entries; stops when the camera stops answering.
    void WriteTableToCamera(int channel);
    // The two end points again; the table becomes the straight ramp.
    void ResetEditPoints();
    // Edit points placed on the table as it is, as many as the up-down says.
    void ConvertEditable();
    // After the table was filled from outside (a gamma file): View Mode, redrawn.
    void ShowTableAsLoaded();

    int ChannelIndex() const { return channel_; }
    int LutMode() const { return mode_; }
    LutTable &Table() { return table_; }
    const LutTable &Table() const { return table_; }
    const EditPoints &Points() const { return points_; }
    QWidget *FindControl(int controlId) const { return controls_.Find(controlId); }

    void accept() override {}

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void setMode(int mode);
    void pointsChanged();
    void handleMouse(const QMouseEvent &event);
    // In Edit Mode the table follows the edit points.
    void syncTable();
    void describeGraph();

    int channel_;
    Command &command_;
    Dialogs &dialogs_;
    OnlineStatus &onlineStatus_;
    WindowList &windowList_;
    CProgressBarDialog &progress_;
    OperationGuard &operations_;

    LutTable table_{};
    EditPoints points_;
    int mode_ = EditMode;
    ControlRegistry controls_;
    LutGraph *graph_ = nullptr;
    QLabel *modeText_ = nullptr;
    SpinButton *pointCount_ = nullptr;
};
