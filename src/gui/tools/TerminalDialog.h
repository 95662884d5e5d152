#pragma once

#include <QDialog>

#include "core/common/LineLog.h"
#include "gui/common/OnlineStatus.h"
#include "gui/main/ControlRegistry.h"
#include "gui/tools/LogList.h"

class Dialogs;
class OperationGuard;
class QLineEdit;
class QListView;
class SerialLink;
class SettingsStore;
class WindowList;

// A raw command line to the camera, and a time-stamped transcript of every line the tool
// sends and receives, whichever part of the tool caused it. Lives for the whole run; closing
// it only hides it.
class CTerminalDialog final : public QDialog, public COnlineStatusUpdater, public LineLog {
    Q_OBJECT

public:
    // Not 32,768: the limit the tool has always had.
    static constexpr int kMaxLines = 32786;

    struct Services {
        SerialLink &link;
        const SettingsStore &settings;
        Dialogs &dialogs;
        OnlineStatus &onlineStatus;
        WindowList &windowList;
        OperationGuard &operations;
    };

    explicit CTerminalDialog(const Services &services, QWidget *parent = nullptr);
    ~CTerminalDialog() override;

    // Stamps the line with the universal time and puts it on top of the transcript.
    void AddTerminalLine(const QString &text);
    void AddLogLine(const QString &line) override { AddTerminalLine(line); }

    void OnSend();
    void OnClear();
    void OnSave();

    QWidget *FindControl(int controlId) const { return controls_.Find(controlId); }
    const LogListModel &Transcript() const { return transcript_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void placeControls();

    SerialLink &link_;
    const SettingsStore &settings_;
    Dialogs &dialogs_;
    OnlineStatus &onlineStatus_;
    WindowList &windowList_;
    OperationGuard &operations_;

    ControlRegistry controls_;
    LogListModel transcript_{kMaxLines};
    QLineEdit *command_ = nullptr;
};
