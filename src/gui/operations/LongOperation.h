#pragma once

#include <optional>

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "gui/operations/OperationGuard.h"

class CProgressBarDialog;
class WindowList;

// What keeps every other exchange out while an operation talks to the camera: the operation
// guard held and, when given, the window list disabled, until End or the object's end. The
// camera's procedures run under it alone; LongOperation adds the progress window.
class GuardedOperation {
public:
    GuardedOperation(OperationGuard &guard, WindowList *windowList);
    ~GuardedOperation();
    GuardedOperation(const GuardedOperation &) = delete;
    GuardedOperation &operator=(const GuardedOperation &) = delete;

    // Enables the window list and lets go of the guard. Runs once.
    void End();

private:
    std::optional<OperationGuard::Hold> hold_;
    WindowList *windowList_;
};

// The shape every long camera operation shares: the operation guard held, optionally the wait
// cursor and the window list disabled, the progress window over the starting window, steps
// that move the bar and let every window repaint, and the close that brings everything back.
// Finish runs at the latest when the object goes, so an operation that ends early leaves
// nothing disabled.
class LongOperation {
public:
    struct Options {
        WindowList *windowList = nullptr; // disabled for the whole operation when given
        bool waitCursor = false;
    };

    LongOperation(CProgressBarDialog &progress, OperationGuard &guard, QWidget *owner, const QString &message,
                  Options options);
    LongOperation(CProgressBarDialog &progress, OperationGuard &guard, QWidget *owner, const QString &message)
        : LongOperation(progress, guard, owner, message, Options{})
    {
    }
    ~LongOperation();
    LongOperation(const LongOperation &) = delete;
    LongOperation &operator=(const LongOperation &) = delete;

    // Empties the message queue, then moves the bar; the repaint that asks for is done while
    // the next paced exchange waits for its reply, or at the next step. Steps that come
    // faster than kShowIntervalMs are shown together: the latest one appears within that
    // time (twenty pictures a second, smooth to the eye), and a step that changes nothing
    // repaints nothing. A paced exchange takes about 22 ms, so the window repaints for every
    // third one instead of every one.
    void Step(int percent);
    static constexpr int kShowIntervalMs = 50;
    // Replaces the message first.
    void Step(int percent, const QString &message);
    // Closes the progress window (100 % for its second), enables the window list, restores
    // the cursor, activates the starting window and lets go of the guard. Runs once; later
    // calls do nothing.
    void Finish();

private:
    void show();
    void showPending();

    CProgressBarDialog &progress_;
    QPointer<QWidget> owner_;
    Options options_;
    GuardedOperation guarded_;
    bool finished_ = false;
    // The step not shown yet, and when the window last took one.
    int percent_ = 0;
    std::optional<QString> message_;
    bool pending_ = false;
    QElapsedTimer shown_;
    QTimer frame_;
};
