#pragma once

#include <memory>

#include <QPointer>
#include <QString>
#include <QWidget>

class QDialog;
class QLabel;
class QProgressBar;

// The one progress window that long operations share. The object lives for the whole run;
// its window exists only between ShowProgress and CloseProgress, and the operator cannot close
// it in between. While it is up, the window that started the operation is disabled, so a
// second operation cannot be started from it (the operation guard keeps the other windows
// from starting one).
class CProgressBarDialog {
public:
    static constexpr int kMessageId = 1013;
    static constexpr int kBarId = 1011;
    static constexpr int kCloseHoldMs = 1000;

    CProgressBarDialog();
    ~CProgressBarDialog();
    CProgressBarDialog(const CProgressBarDialog &) = delete;
    CProgressBarDialog &operator=(const CProgressBarDialog &) = delete;

    void ShowProgress(QWidget *owner, const QString &text);
    void SetProgressMessage(const QString &text);
    // Does nothing while no window is up.
    void SetProgress(int percent);
    // How long the closing shows 100 %: a second, or nothing when replies are taken at once
    // and every wait goes.
    void SetCloseHoldMs(int ms) { closeHoldMs_ = ms; }
    int CloseHoldMs() const { return closeHoldMs_; }
    // Shows 100 % for the hold (still painting), then closes, enables and activates the owner.
    // Does nothing, and does not wait, while no window is up; a window hidden by other means
    // goes without the wait, and its owner is enabled all the same.
    void CloseProgress();

    bool IsVisible() const;
    QWidget *Window() const;
    int Progress() const;
    QString Message() const { return message_; }

private:
    void destroyWindow();

    QString message_;
    int closeHoldMs_ = kCloseHoldMs;
    QPointer<QWidget> owner_;
    std::unique_ptr<QDialog> window_;
    QLabel *messageLabel_ = nullptr;
    QProgressBar *bar_ = nullptr;
};
