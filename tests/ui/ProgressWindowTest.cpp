#include <memory>

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "CommunicationTestRig.h"
#include "gui/operations/ProgressWindow.h"

namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        button = new QPushButton(QStringLiteral("Start"), &owner);
        owner.show();
    }
    // First member: the widgets below need the application, also when this test runs alone.
    QApplication &application = TestApplication();
    QWidget owner;
    QPushButton *button = nullptr;
    CProgressBarDialog progress;
};

TEST_F(ProgressWindowTest, WithoutAWindowNothingHappensAndNothingWaits)
{
    QElapsedTimer timer;
    timer.start();
    progress.SetProgress(50);
    progress.CloseProgress();
    EXPECT_LT(timer.elapsed(), 100);
    EXPECT_FALSE(progress.IsVisible());
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(ProgressWindowTest, ShowingDisablesTheTopLevelOwnerAndShowsTheMessage)
{
    // Started from a control: the window that holds it is the one disabled.
    progress.ShowProgress(button, QStringLiteral("Now, Storing camera data."));
    ASSERT_TRUE(progress.IsVisible());
    EXPECT_FALSE(owner.isEnabled());
    // The progress window itself stays usable while its owner is disabled.
    EXPECT_TRUE(progress.Window()->isEnabled());
    auto *label = progress.Window()->findChild<QLabel *>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->property("controlId").toInt(), 1013);
    EXPECT_EQ(label->text(), "Now, Storing camera data.");

    progress.SetProgressMessage(QStringLiteral("Step two"));
    progress.SetProgress(37);
    EXPECT_EQ(progress.Progress(), 37);
    EXPECT_EQ(label->text(), "Step two");
    auto *bar = progress.Window()->findChild<QProgressBar *>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->property("controlId").toInt(), 1011);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    progress.CloseProgress();
}

TEST_F(ProgressWindowTest, ClosingHoldsFullProgressForASecondWhileStillProcessingEvents)
{
    progress.ShowProgress(&owner, QStringLiteral("Reading"));
    progress.SetProgress(12);

    int seenDuringHold = -1;
    bool visibleDuringHold = false;
    QTimer::singleShot(500, [&] {
        seenDuringHold = progress.Progress();
        visibleDuringHold = progress.IsVisible();
    });
    QElapsedTimer timer;
    timer.start();
    progress.CloseProgress();
    const qint64 held = timer.elapsed();

    EXPECT_GE(held, 1000);
    EXPECT_LT(held, 1800) << "about one second, not more";
    EXPECT_EQ(seenDuringHold, 100);    // 100 % even though the last step reported 12
    EXPECT_TRUE(visibleDuringHold);    // the timer ran: events were processed
    EXPECT_FALSE(progress.IsVisible());
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_TRUE(owner.isEnabled());
    QCoreApplication::processEvents(); // activation arrives as a window-system event
    EXPECT_EQ(QApplication::activeWindow(), &owner);

    // The same object serves the next operation.
    progress.ShowProgress(&owner, QStringLiteral("Again"));
    EXPECT_TRUE(progress.IsVisible());
    EXPECT_FALSE(owner.isEnabled());
    progress.CloseProgress();
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(ProgressWindowTest, OwnerComesBackEnabledEvenIfItWasDisabledBeforeAndSurvivesItsOwnersEnd)
{
    owner.setEnabled(false);
    progress.ShowProgress(&owner, QStringLiteral("x"));
    progress.CloseProgress();
    EXPECT_TRUE(owner.isEnabled());

    auto shortLived = std::make_unique<QWidget>();
    shortLived->show();
    progress.ShowProgress(shortLived.get(), QStringLiteral("y"));
    shortLived.reset();
    progress.CloseProgress(); // the owner is gone: nothing to enable, no crash
    EXPECT_FALSE(progress.IsVisible());
}

} // namespace
