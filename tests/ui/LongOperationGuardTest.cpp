#include <functional>

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include "OperatorActions.h"
#include "SettingFileTestRig.h"
#include "core/operations/FlashAreas.h"
#include "gui/lut/LutWindows.h"
#include "gui/tools/CommunicationDialog.h"
#include "gui/tools/TerminalDialog.h"
#include "gui/tools/TerminalLayout.h"

namespace {

constexpr int kLoadLines = 40;

// A load long enough to act in the middle of: the gain written again and again, each value once,
// so the wire shows whether the file's lines went out in order and alone.
QList<QByteArray> gainLines()
{
    QList<QByteArray> lines;
    for (int i = 0; i < kLoadLines; ++i)
        lines << "GA=" + QByteArray::number(100 + i);
    return lines;
}

QByteArray fileOf(const QList<QByteArray> &lines)
{
    return lines.join("\r\n") + "\r\n";
}

// Runs act once, from inside the load's own event processing, a quarter of the way through.
class DuringLoad {
public:
    DuringLoad(const CProgressBarDialog &progress, std::function<void()> act)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this, &progress, act = std::move(act)] {
            if (acted_ || progress.Progress() < 25)
                return;
            acted_ = true;
            act();
        });
        timer_.start(0);
    }
    bool Acted() const { return acted_; }

private:
    QTimer timer_;
    bool acted_ = false;
};

template <typename Widget>
Widget &controlOf(const QWidget *found)
{
    auto *control = qobject_cast<Widget *>(const_cast<QWidget *>(found));
    if (!control)
        qFatal("no control of the expected kind");
    return *control;
}

} // namespace

// Escape and the window manager's close are refused while the load runs; a window hidden by
// other means still ends with its owner enabled. Either way the load goes to its end.
TEST(LongOperationGuard, ProgressWindowStaysUntilTheLoadClosesIt)
{
    const struct {
        const char *name;
        std::function<void(QWidget &)> act;
        bool staysUp;
    } cases[] = {
        {"Escape", [](QWidget &window) { OperatorActions::Key(window, Qt::Key_Escape); }, true},
        {"window manager's close",
         [](QWidget &window) {
             QCloseEvent close;
             QCoreApplication::sendEvent(window.windowHandle(), &close);
         },
         true},
        {"hidden", [](QWidget &window) { window.hide(); }, false},
    };
    SettingFileRig t;
    CProgressBarDialog &progress = t.rig.context->progress();
    for (const auto &c : cases) {
        bool upAfter = false;
        int lastBarValue = -1;
        const DuringLoad during(progress, [&] {
            QWidget &window = *progress.Window();
            QObject::connect(window.findChild<QProgressBar *>(), &QProgressBar::valueChanged,
                             [&lastBarValue](int value) { lastBarValue = value; });
            c.act(window);
            upAfter = window.isVisible();
        });
        EXPECT_EQ(t.Load(fileOf(gainLines())), gainLines()) << c.name;
        ASSERT_TRUE(during.Acted()) << c.name;
        EXPECT_EQ(upAfter, c.staysUp) << c.name;
        EXPECT_EQ(lastBarValue, 100) << c.name;
        EXPECT_EQ(progress.Window(), nullptr) << c.name;
        EXPECT_TRUE(t.rig.window->isEnabled()) << c.name;
    }
}

// "Read To FIle....", the terminal (Enter and "Send"), a LUT window's "Read Table Data" and
// the mode key sequence during a load: the load's lines go out alone, and afterwards every
// control is as it was.
TEST(LongOperationGuard, OtherWindowsStartNothingWhileALoadRuns)
{
    SettingFileRig t;
    CCtrlToolDlg &window = *t.rig.window;
    CCommunicationDialog &communication = window.Communication();
    CTerminalDialog &terminal = window.Terminal();
    terminal.show();
    window.Lut().ShowLutWindows(true);
    // "Factory Data" in the standard mode: "Store" is disabled before the load and after it.
    controlOf<QComboBox>(communication.FindControl(1026)).setCurrentIndex(kFactoryArea);
    auto &open = controlOf<QPushButton>(communication.FindControl(1073));
    auto &store = controlOf<QPushButton>(communication.FindControl(1076));
    auto &send = controlOf<QPushButton>(terminal.FindControl(kTerminalSendId));
    auto &lutRead = controlOf<QPushButton>(window.Lut().Window(0).FindControl(CLUTDlg::kReadButtonId));
    controlOf<QLineEdit>(terminal.FindControl(kTerminalEditId)).setText(QStringLiteral("EA?"));
    const QString other = t.Write(QStringLiteral("other.cam"), "GAR=300\r\n");
    ASSERT_TRUE(store.isVisible() && !store.isEnabled());

    bool startersEnabled = true;
    const DuringLoad during(t.rig.context->progress(), [&] {
        startersEnabled = open.isEnabled() || send.isEnabled() || lutRead.isEnabled();
        t.rig.dialogs.QueueFilePath(other); // what a second load would read
        open.click();
        OperatorActions::Key(*terminal.FindControl(kTerminalEditId), Qt::Key_Return);
        send.click();
        lutRead.click();
        window.ToggleControlMode();
    });
    EXPECT_EQ(t.Load(fileOf(gainLines())), gainLines());
    ASSERT_TRUE(during.Acted());
    EXPECT_FALSE(startersEnabled);
    EXPECT_EQ(t.rig.BoxTexts(),
              QStringList({"A camera operation is in progress.\nPlease wait until it has finished."}));
    EXPECT_EQ(t.rig.context->controlMode().Get(), 0);

    EXPECT_TRUE(open.isEnabled());
    EXPECT_TRUE(send.isEnabled());
    EXPECT_TRUE(lutRead.isEnabled());
    EXPECT_FALSE(store.isEnabled());
    EXPECT_FALSE(communication.FindControl(1027)->isEnabled()); // the rate list only shows the rate
    t.rig.simulator->ClearWireLog();
    send.click();
    EXPECT_TRUE(t.rig.simulator->WaitForReceivedLines(1, 2000));
    EXPECT_EQ(t.rig.Received(), QList<QByteArray>({"EA?"}));
}

// The window manager's close during a load waits for the load's end, then asks as any close.
TEST(LongOperationGuard, MainWindowCloseWaitsForTheOperation)
{
    SettingFileRig t;
    CCtrlToolDlg &window = *t.rig.window;
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        QCloseEvent close;
        const DuringLoad during(t.rig.context->progress(),
                                [&] { QCoreApplication::sendEvent(window.windowHandle(), &close); });
        EXPECT_EQ(t.Load(fileOf(gainLines())), gainLines());
        EXPECT_TRUE(during.Acted() && !close.isAccepted() && t.rig.BoxTexts().isEmpty());
        t.rig.dialogs.QueueAnswer(answer);
        MainWindowRig::RunEventsUntil([&] { return !t.rig.BoxTexts().isEmpty(); }, 500);
        EXPECT_EQ(t.rig.BoxTexts(), QStringList({"Are you sure to terminate the Camera Control Tool ?"}));
        EXPECT_EQ(window.isVisible(), answer == MessageAnswer::No);
    }
}
