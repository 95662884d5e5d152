#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "gui/common/WindowList.h"

class Dialogs;

// Whether a long camera operation is running: the one answer every window goes by before it
// starts an exchange of its own. A long operation steps the event loop between its exchanges,
// so without this a click elsewhere could start a second operation inside the first and mix
// their lines on the wire.
//
// Every long operation holds the guard for its length; holds nest, so an operation made of
// operations holds it throughout. While it is held, the registered starters (the controls
// that would start an exchange) are disabled; the last hold to go enables them again. A
// control with an enabled state of its own is registered through its container, whose
// children keep their own state.
class OperationGuard {
public:
    class Hold {
    public:
        explicit Hold(OperationGuard &guard);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;

    private:
        OperationGuard &guard_;
    };

    OperationGuard() = default;
    OperationGuard(const OperationGuard &) = delete;
    OperationGuard &operator=(const OperationGuard &) = delete;

    bool Running() const { return holds_ > 0; }
    // Disabled at once when an operation is already running.
    void AddStarter(QWidget &starter);
    // For a starter that no control stands for (a key sequence): while an operation runs,
    // tells the operator so and returns true.
    bool Refuses(Dialogs &dialogs) const;
    // Runs run once the running operation has ended and its handlers have returned (from the
    // event loop, while receiver lives); at the next turn of the event loop when none runs.
    void AfterOperation(QObject &receiver, std::function<void()> run);

private:
    void acquire();
    void release();
    void runAfterwards();

    int holds_ = 0;
    WindowList starters_;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> afterwards_;
};
