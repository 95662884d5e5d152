#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDialog>

#include "core/operations/LinkNegotiation.h"
#include "core/operations/LinkRecovery.h"
#include "gui/common/OnlineStatus.h"
#include "gui/main/BindingServices.h"
#include "gui/main/ControlFinder.h"
#include "gui/main/ParameterSearch.h"
#include "gui/main/ControlRegistry.h"
#include "gui/main/ModeKeySequence.h"
#include "gui/tools/CommunicationHost.h"

class AberrationGroup;
class AppContext;
class Calibrations;
class CCommunicationDialog;
class ControlBinding;
class FastRepliesSwitch;
class GainAutoControls;
class LutWindows;
class PageButtons;

class ShadingTransfer;
class CTabSheetDialog;
class CTerminalDialog;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QStackedWidget;
class QTabBar;
class SettingFileOperations;
class UserSetOperations;

// The main window: the parameter pages under a tab bar, the menu, the status strip, the
// keyboard rules that keep Enter and Escape from closing it, and the start-up connection.
class CCtrlToolDlg final : public QDialog,
                           public COnlineStatusUpdater,
                           public ControlFinder,
                           public CommunicationHost,
                           public NegotiationView,
                           public LinkRecoveryView {
    Q_OBJECT

public:
    static constexpr int kTabControlId = 1089;
    static constexpr int kStatusStripId = 1069;

    explicit CCtrlToolDlg(AppContext &context, QWidget *parent = nullptr);
    ~CCtrlToolDlg() override;

    // Runs once: builds the windows, shows the table's values, applies the control mode,
    // shows itself, then finds the camera, moves it to 115200 bit/s and reads all settings.
    void Initialise();

    QWidget *FindControl(int controlId) const override;
    void BuildTabs();
    void ApplyControlMode();
    void ToggleControlMode();
    int OpenAndIdentify();

    bool IdentifyModel() override;
    void LogNote(const QString &text) override;
    void ReloadAllSettings() override;
    void SaveAllDataAs() override;
    void OpenSettingFile() override;
    void SetBaudSelection(int code) override;

    // A lost link: the log says so and the windows show offline; when the device is back
    // and the camera answers, everything is read again as "&Reload" does. A device back before
    // its camera is said once; the read follows when the camera answers.
    void LinkLost(const QString &device, const QString &reason) override;
    bool MayReconnect() override;
    bool CameraOnline() const override;
    void LinkRestored(const QString &device, bool answered) override;
    void CameraFound(const QString &device) override;
    LinkRecovery &Recovery() const { return *recovery_; }

    bool ReadAllSettings();
    void RefreshAllControls();
    void RefreshChangedControls();
    void RefreshAberrationGroup();
    void EnableAberrationControls(bool enable);
    void SaveShippingDataAs();
    bool IsFactoryParam(int controlId);
    bool IsSupportedCommand(int commandId) const;

    void OnMenu(int menuId);
    // The close path: asks the exit question unless told to skip it. During a long operation
    // (the window manager's close, say) the close waits for the operation's end and is then
    // asked for as usual, so the operation is neither cut short nor stalled by the question.
    void reject() override;
    // Enter that reaches the dialog never closes the window.
    void accept() override {}

    // Runs the edit commit of the focused field when Enter is pressed in an edit. The live
    // binding installs it.
    void SetEditCommitHandler(std::function<void(int editId)> handler) { commitEdit_ = std::move(handler); }
    void SetSkipExitConfirmation(bool skip) { skipExitConfirmation_ = skip; }

    int CurrentArea() const { return currentArea_; }
    const std::vector<CTabSheetDialog *> &Pages() const { return pages_; }
    QTabBar &Tabs() const { return *tabs_; }
    QMenu &UtilityMenu() const { return *utilityMenu_; }
    CCommunicationDialog &Communication() const { return *communication_; }
    CTerminalDialog &Terminal() const { return *terminal_; }
    LutWindows &Lut() const { return *lut_; }
    ControlBinding &Binding() const { return *binding_; }
    GainAutoControls &GainAuto() const { return *gainAuto_; }
    UserSetOperations &UserSets() const { return *userSets_; }
    Calibrations &CameraProcedures() const { return *calibrations_; }
    ShadingTransfer &Shading() const { return *shadingTransfer_; }
    FastRepliesSwitch &FastReplies() const { return *fastReplies_; }
    // Shown beside the page tabs while fast replies are on.
    QLabel &FastRepliesLabel() const { return *fastRepliesLabel_; }
    ParameterSearch &Search() const { return *search_; }
    // Brings the page that holds the control to the front and gives the control the focus.
    void GoToControl(int controlId);
    // The title of the page with a tab in this mode that shows the control; empty when none does.
    QString PageTitleOf(int controlId) const;
    SettingFileOperations &SettingFiles() const { return *settingFile_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void resizeToFitPages();
    void showPage(int pageIndex);
    void onTabChanged(int position);
    std::vector<ParameterSearch::Offer> searchOffers(const QString &text) const;
    void queryCurrentArea();
    void buildBinding();
    void installCameraProcedures();
    void showTerminal();
    void showSerialPorts();
    // The camera is back after a loss: as "&Reload".
    void readAfterRecovery();
    // Runs the procedure as a long operation: nothing else starts an exchange meanwhile.
    std::function<void()> guarded(std::function<void()> procedure);
    // True when the key was taken: the dialog does nothing with it.
    bool handleKeyDown(QWidget &receiver, QKeyEvent &event);

    AppContext &context_;
    std::vector<CTabSheetDialog *> pages_;
    ControlRegistry ownControls_;
    QTabBar *tabs_ = nullptr;
    QStackedWidget *pageStack_ = nullptr;
    QMenu *utilityMenu_ = nullptr;
    QMenuBar *menuBar_ = nullptr;
    QLabel *fastRepliesLabel_ = nullptr;
    ParameterSearch *search_ = nullptr;
    std::unique_ptr<CCommunicationDialog> communication_;
    std::unique_ptr<CTerminalDialog> terminal_;
    std::unique_ptr<LutWindows> lut_;
    LinkNegotiation negotiation_;
    std::unique_ptr<LinkRecovery> recovery_;
    // The live binding and its special controls, in the order they lean on each other.
    std::unique_ptr<BindingServices> bindingServices_;
    std::unique_ptr<GainAutoControls> gainAuto_;
    std::unique_ptr<AberrationGroup> aberration_;
    std::unique_ptr<PageButtons> pageButtons_;
    std::unique_ptr<ControlBinding> binding_;
    std::unique_ptr<SettingFileOperations> settingFile_;
    std::unique_ptr<UserSetOperations> userSets_;
    std::unique_ptr<Calibrations> calibrations_;
    // Holds the shading tables between transfers.
    std::unique_ptr<ShadingTransfer> shadingTransfer_;
    std::unique_ptr<FastRepliesSwitch> fastReplies_;
    ModeKeySequence modeKeys_;
    std::function<void(int)> commitEdit_;
    int currentArea_ = 0;
    bool skipExitConfirmation_ = false;
    bool closeWaits_ = false; // a close asked for during a long operation
    bool registered_ = false;
};
