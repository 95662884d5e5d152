#pragma once

#include <vector>

#include <QPointer>
#include <QWidget>


// The open tool windows, in registration order. Long operations disable them all before they
// start and enable them all when they end; there is no nesting count, so the enable at the end
// of an operation enables every listed window. The operation guard keeps its starters (any
// widgets disabled and enabled together) in one as well.
class WindowList {
public:
    WindowList() = default;
    WindowList(const WindowList &) = delete;
    WindowList &operator=(const WindowList &) = delete;

    void Register(QWidget &window);
    void Unregister(QWidget &window);
    void DisableAll();
    void EnableAll();

    // Registered windows that still exist, in registration order.
    std::vector<QWidget *> Windows() const;

private:
    // Guarded: a window destroyed without unregistering is skipped, not touched.
    std::vector<QPointer<QWidget>> windows_;
};
