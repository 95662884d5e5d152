#pragma once

#include <array>
#include <vector>

#include <QDialog>

#include "gui/tools/SerialDevices.h"

class Dialogs;
class QComboBox;
class QLabel;
class SettingsStore;

// "Serial ports...": which device each COM name opens. Every name shows the device it opens
// now; the operator picks one of the serial devices present or types a path. OK writes the
// [Ports] group, after checking that every changed path exists.
class CSerialPortsDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPortCount = 16;

    CSerialPortsDialog(const SettingsStore &settings, Dialogs &dialogs, std::vector<SerialDevice> choices,
                       QWidget *parent = nullptr);

    // The device field of COMn (1-based).
    QComboBox &DeviceField(int comNumber) const { return *fields_[static_cast<std::size_t>(comNumber - 1)]; }
    // Writes the changed names; false (nothing written) when a typed path does not exist or the
    // settings file cannot be written.
    bool Apply();

    void accept() override;

private:
    void showDescription(int row);

    const SettingsStore &settings_;
    Dialogs &dialogs_;
    std::vector<SerialDevice> choices_;
    std::array<QComboBox *, kPortCount> fields_{};
    std::array<QLabel *, kPortCount> descriptions_{};
};
