#pragma once

#include <QDialog>

#include "core/common/LineLog.h"
#include "core/operations/LinkNegotiation.h"
#include "gui/common/OnlineStatus.h"
#include "gui/main/ControlRegistry.h"
#include "gui/tools/LogList.h"

class CProgressBarDialog;
class Command;
class CommunicationHost;
class ControlModeSetting;
class Dialogs;
class OperationGuard;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class SerialLink;
class SettingsStore;
class WindowList;

// The operator's view of the serial link: line status, link kind and port (with the rate
// negotiation after a port change), the flash areas, shortcuts to the setting file, and the
// message log of every line sent and received. It lives for the whole run; closing it only
// hides it.
class CCommunicationDialog final : public QDialog,
                                   public COnlineStatusUpdater,
                                   public LineLog,
                                   public NegotiationView {
    Q_OBJECT

public:
    static constexpr int kMaxLogLines = 4096;

    struct Services {
        SerialLink &link;
        Command &command;
        const SettingsStore &settings;
        const ControlModeSetting &controlMode;
        Dialogs &dialogs;
        OnlineStatus &onlineStatus;
        WindowList &windowList;
        CProgressBarDialog &progress;
        CommunicationHost &host;
        OperationGuard &operations;
    };

    explicit CCommunicationDialog(const Services &services, QWidget *parent = nullptr);
    ~CCommunicationDialog() override;

    // Puts the line on top of the message log.
    void AppendLogLine(const QString &text);
    void AddLogLine(const QString &line) override { AppendLogLine(line); }
    // Shows a rate (baud code 0..4) in the display-only list; nothing else.
    void SetBaudSelection(int code) override;
    bool IdentifyModel() override;
    void LogNote(const QString &text) override;
    // "Store" is usable for a user area, or for any area in the extended mode.
    void UpdateStoreButton();
    void OnOnlineStatusChanged(int online) override;

    void RefreshPortList();
    // COM names keep their text and carry the device they open as tool tip and description.
    void ShowPortDevices();
    // The operator's handlers, public so the main window and tests can drive them directly.
    void OnCategoryChanged(int kind);
    void NegotiateBaudRate(int portIndex);
    void OnGetArea();
    void OnStore();
    void OnLoad();
    void OnWriteLog();
    void OnClearLog();

    QWidget *FindControl(int controlId) const { return controls_.Find(controlId); }
    const LogListModel &Log() const { return log_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void connectControls();
    void initialiseFromLink();
    // Puts why the link would not open into the message log; returns that text (empty: unknown).
    QString logOpenFailure();
    QPushButton *makeButton(int controlId, const QString &text);
    QComboBox *makeList(int controlId, const QStringList &entries, const QString &accessibleName);

    SerialLink &link_;
    Command &command_;
    const SettingsStore &settings_;
    const ControlModeSetting &controlMode_;
    Dialogs &dialogs_;
    OnlineStatus &onlineStatus_;
    WindowList &windowList_;
    CProgressBarDialog &progress_;
    CommunicationHost &host_;
    OperationGuard &operations_;

    ControlRegistry controls_;
    LogListModel log_{kMaxLogLines};
    QLabel *lineIcon_ = nullptr;
    QLabel *lineWord_ = nullptr;
    QComboBox *category_ = nullptr;
    QComboBox *portName_ = nullptr;
    QComboBox *baudRate_ = nullptr;
    QLabel *currentArea_ = nullptr;
    QComboBox *areaList_ = nullptr;
    QPushButton *store_ = nullptr;
    QListView *logView_ = nullptr;
};
