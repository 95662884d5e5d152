#include "gui/common/WindowList.h"

#include <algorithm>

#include <QWidget>

void WindowList::Register(QWidget &window)
{
    const auto listed = std::find(windows_.begin(), windows_.end(), &window);
    if (listed == windows_.end())
        windows_.emplace_back(&window);
}

void WindowList::Unregister(QWidget &window)
{
    // Dropping guards of windows already gone keeps the list from growing over a long run.
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&window](const QPointer<QWidget> &listed) {
                                      return listed.isNull() || listed == &window;
                                  }),
                   windows_.end());
}

void WindowList::DisableAll()
{
    for (QWidget *window : Windows())
        window->setEnabled(false);
}

void WindowList::EnableAll()
{
    for (QWidget *window : Windows())
        window->setEnabled(true);
}

std::vector<QWidget *> WindowList::Windows() const
{
    std::vector<QWidget *> windows;
    for (const QPointer<QWidget> &window : windows_) {
        if (window)
            windows.push_back(window.data());
    }
    return windows;
}
