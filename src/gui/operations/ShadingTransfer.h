#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/formats/ShadingFile.h"
#include "core/operations/ShadingExchange.h"

class CProgressBarDialog;
class OperationGuard;
class Command;
class Dialogs;
class SettingsStore;
class WindowList;

// Moves the camera's shading correction tables between the camera and a CSV file, value by
// value over the command protocol, and asks the camera to keep its table in flash memory.
// The tables live here for the whole run: a write sends whatever the last read or file left.
class ShadingTransfer {
public:
    struct Services {
        Command &command;
        Dialogs &dialogs;
        const SettingsStore &settings;
        CProgressBarDialog &progress;
        WindowList &windowList;
        OperationGuard &operations;
    };
    using Shape = ShadingShape;

    ShadingTransfer(const Services &services, QWidget *owner, Shape shape);
    ShadingTransfer(const Services &services, QWidget *owner) : ShadingTransfer(services, owner, Shape()) {}

    void ReadShadingData();
    void WriteShadingData();
    void StoreShadingData();

    const ShadingTable &Table() const { return table_; }

    // The bar's position after value n of total, truncated.
    static int Percent(int n, int total);

private:
    enum class Direction { Read, Write };

    // False when the camera stopped answering; the operator has been told where.
    bool transfer(Direction direction);

    Services services_;
    QPointer<QWidget> owner_;
    Shape shape_;
    ShadingTable table_{};
};
