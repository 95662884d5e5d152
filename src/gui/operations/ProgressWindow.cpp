#include "gui/operations/ProgressWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace {

// The window stays until its operation closes it: it has no close box, and neither Escape nor
// the window manager's close may take it away while the operation still reports through it.
class ProgressPopup final : public QDialog {
public:
    using QDialog::QDialog;

    void reject() override {}

protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

CProgressBarDialog::CProgressBarDialog() = default;

CProgressBarDialog::~CProgressBarDialog()
{
    destroyWindow();
}

void CProgressBarDialog::ShowProgress(QWidget *owner, const QString &text)
{
    // A window left up by an operation that never closed it gives way to the new one.
    destroyWindow();

    owner_ = owner ? owner->window() : nullptr;
    if (owner_ && owner_->isEnabled())
        owner_->setEnabled(false);

    // Parentless on purpose: a child window would be disabled together with its owner.
    // The transient parent keeps it above the owner all the same.
    window_ = std::make_unique<ProgressPopup>(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window_->setWindowTitle(QString());
    window_->setProperty("controlId", 107);
    auto *layout = new QVBoxLayout(window_.get());
    messageLabel_ = new QLabel(QStringLiteral("Message"), window_.get());
    messageLabel_->setProperty("controlId", kMessageId);
    messageLabel_->setWordWrap(true);
    messageLabel_->setMinimumWidth(260);
    bar_ = new QProgressBar(window_.get());
    bar_->setProperty("controlId", kBarId);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setAccessibleName(QStringLiteral("Progress"));
    layout->addWidget(messageLabel_);
    layout->addWidget(bar_);

    message_ = text;
    messageLabel_->setText(message_);
    window_->setAccessibleName(message_);
    if (owner_) {
        window_->winId();
        if (QWindow *handle = window_->windowHandle())
            handle->setTransientParent(owner_->windowHandle());
    }
    window_->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CProgressBarDialog::SetProgressMessage(const QString &text)
{
    message_ = text;
    if (messageLabel_)
        messageLabel_->setText(message_);
    // The window has no title; readers name it by what it is doing.
    if (window_)
        window_->setAccessibleName(message_);
}

void CProgressBarDialog::SetProgress(int percent)
{
    // A window hidden by other means still keeps count, so it is right if it comes back.
    if (!window_)
        return;
    // A progress bar repaints at once when its value changes; held back, it repaints with
    // the rest of the window when the windows next repaint.
    bar_->setUpdatesEnabled(false);
    bar_->setValue(percent);
    bar_->setUpdatesEnabled(true);
    messageLabel_->setText(message_);
}

void CProgressBarDialog::CloseProgress()
{
    if (!window_)
        return;
    SetProgress(100);
    // Hidden by other means: nobody would see the hold, but the owner still comes back.
    if (!window_->isVisible()) {
        destroyWindow();
        return;
    }

    // The bar stays at 100 % for the hold. Events are processed meanwhile so the window
    // keeps painting; operator input stays queued, as it would behind a blocking wait.
    QElapsedTimer hold;
    hold.start();
    for (qint64 left = closeHoldMs_; left > 0; left = closeHoldMs_ - hold.elapsed()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, static_cast<int>(left));
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 10)));
    }

    QPointer<QWidget> owner = owner_;
    destroyWindow();
    if (owner)
        owner->activateWindow();
}

bool CProgressBarDialog::IsVisible() const
{
    return window_ && window_->isVisible();
}

QWidget *CProgressBarDialog::Window() const
{
    return window_.get();
}

int CProgressBarDialog::Progress() const
{
    return bar_ ? bar_->value() : -1;
}

void CProgressBarDialog::destroyWindow()
{
    if (!window_)
        return;
    messageLabel_ = nullptr;
    bar_ = nullptr;
    window_.reset();
    // The owner comes back whether or not this window disabled it.
    if (owner_)
        owner_->setEnabled(true);
    owner_ = nullptr;
}
