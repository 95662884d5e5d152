#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class CProgressBarDialog;
class WindowList;

// The shape every long camera operation shares: optionally the wait cursor and the window
// list disabled, the progress window over the starting window, steps that move the bar and
// let every window repaint, and the close that brings everything back. Finish runs at the
// latest when the object goes, so an operation that ends early leaves nothing disabled.
class LongOperation {
public:
    struct Options {
        WindowList *windowList = nullptr; // disabled for the whole operation when given
        bool waitCursor = false;
    };

    LongOperation(CProgressBarDialog &progress, QWidget *owner, const QString &message, Options options);
    LongOperation(CProgressBarDialog &progress, QWidget *owner, const QString &message)
        : LongOperation(progress, owner, message, Options{})
    {
    }
    ~LongOperation();
    LongOperation(const LongOperation &) = delete;
    LongOperation &operator=(const LongOperation &) = delete;

    // Moves the bar, then empties the message queue so the windows repaint.
    void Step(int percent);
    // Replaces the message first.
    void Step(int percent, const QString &message);
    // Closes the progress window (100 % for its second), enables the window list, restores
    // the cursor and activates the starting window. Runs once; later calls do nothing.
    void Finish();

private:
    CProgressBarDialog &progress_;
    QPointer<QWidget> owner_;
    Options options_;
    bool finished_ = false;
};
