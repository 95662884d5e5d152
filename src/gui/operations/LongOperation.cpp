#include "gui/operations/LongOperation.h"

#include <QApplication>
#include <QCoreApplication>

#include "gui/common/WindowList.h"
#include "gui/operations/ProgressWindow.h"

LongOperation::LongOperation(CProgressBarDialog &progress, OperationGuard &guard, QWidget *owner,
                             const QString &message, Options options)
    : progress_(progress), owner_(owner), options_(options)
{
    hold_.emplace(guard);
    if (options_.waitCursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    if (options_.windowList)
        options_.windowList->DisableAll();
    progress_.ShowProgress(owner, message);
    progress_.SetProgress(0);
}

LongOperation::~LongOperation()
{
    Finish();
}

void LongOperation::Step(int percent)
{
    progress_.SetProgress(percent);
    QCoreApplication::processEvents();
}

void LongOperation::Step(int percent, const QString &message)
{
    progress_.SetProgressMessage(message);
    Step(percent);
}

void LongOperation::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    progress_.CloseProgress();
    if (options_.windowList)
        options_.windowList->EnableAll();
    if (options_.waitCursor)
        QApplication::restoreOverrideCursor();
    if (owner_) {
        owner_->activateWindow();
        owner_->raise();
    }
    hold_.reset();
}
