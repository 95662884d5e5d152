#pragma once

#include <functional>

class CameraModel;
class Command;
class ControlFinder;
class ControlTable;
class Dialogs;

// What the live binding and its special controls work with: the parameter model, the
// engine, the operator's boxes and the pages. The main window owns all of them.
struct BindingServices {
    ControlTable &table;
    Command &command;
    Dialogs &dialogs;
    const CameraModel &model;
    const ControlFinder &finder;
    // Shows every row whose value differs from its saved value.
    std::function<void()> refreshChangedControls;

    void RefreshChanged() const
    {
        if (refreshChangedControls)
            refreshChangedControls();
    }
};
