#include "gui/operations/LongOperation.h"

#include <algorithm>

#include <QApplication>
#include <QCoreApplication>

#include "gui/common/WindowList.h"
#include "gui/operations/ProgressWindow.h"

GuardedOperation::GuardedOperation(OperationGuard &guard, WindowList *windowList) : windowList_(windowList)
{
    hold_.emplace(guard);
    if (windowList_)
        windowList_->DisableAll();
}

GuardedOperation::~GuardedOperation()
{
    End();
}

void GuardedOperation::End()
{
    if (!hold_)
        return;
    if (windowList_)
        windowList_->EnableAll();
    hold_.reset();
}

LongOperation::LongOperation(CProgressBarDialog &progress, OperationGuard &guard, QWidget *owner,
                             const QString &message, Options options)
    : progress_(progress), owner_(owner), options_(options), guarded_(guard, options.windowList)
{
    if (options_.waitCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    progress_.ShowProgress(owner, message);
    progress_.SetProgress(0);
    frame_.setSingleShot(true);
    QObject::connect(&frame_, &QTimer::timeout, &frame_, [this] { showPending(); });
}

LongOperation::~LongOperation()
{
    Finish();
}

void LongOperation::Step(int percent)
{
    // This step decides what is shown; a frame still waiting would show the previous one.
    frame_.stop();
    // Emptied at every step all the same: the windows stay responsive between frames.
    QCoreApplication::processEvents();
    percent_ = percent;
    pending_ = percent_ != progress_.Progress() || (message_ && *message_ != progress_.Message());
    // Shown last: the repaint it asks for is done while the next exchange waits for its
    // reply, or at the next step.
    if (pending_ && (!shown_.isValid() || shown_.elapsed() >= kShowIntervalMs))
        show();
    else if (pending_ && !frame_.isActive())
        frame_.start(static_cast<int>(std::max<qint64>(1, kShowIntervalMs - shown_.elapsed())));
}

void LongOperation::Step(int percent, const QString &message)
{
    message_ = message;
    Step(percent);
}

void LongOperation::show()
{
    frame_.stop();
    if (message_ && *message_ != progress_.Message())
        progress_.SetProgressMessage(*message_);
    progress_.SetProgress(percent_);
    pending_ = false;
    shown_.restart();
}

void LongOperation::showPending()
{
    if (pending_ && !finished_)
        show();
}

void LongOperation::Finish()
{
    if (finished_)
        return;
    // The last step is shown before the window goes.
    if (pending_)
        show();
    finished_ = true;
    progress_.CloseProgress();
    if (options_.waitCursor)
        QApplication::restoreOverrideCursor();
    // The windows are enabled before the starting window is activated: a disabled one would
    // not take the focus.
    guarded_.End();
    if (owner_) {
        owner_->activateWindow();
        owner_->raise();
    }
}
