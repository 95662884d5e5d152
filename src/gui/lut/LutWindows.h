#pragma once

#include <array>
#include <memory>

#include <QString>

#include "core/formats/GammaFile.h"
#include "gui/lut/CLUTDlg.h"

class QWidget;
class SettingsStore;

// The three LUT editor windows (red, green, blue) and what the main window does with them as
// a set: show or hide them together, read all three tables from the camera, and keep the
// tables in a gamma table file.
class LutWindows {
public:
    LutWindows(const CLUTDlg::Services &services, const SettingsStore &settings);
    ~LutWindows();
    LutWindows(const LutWindows &) = delete;
    LutWindows &operator=(const LutWindows &) = delete;

    // Places the hidden windows, each 50 pixels further down and to the right than the one before.
    void CreateLutWindows();
    void ShowLutWindows(bool show);

    // Every window reads its table in turn, until one fails; the main window is disabled meanwhile.
    void LoadAllLutTables(QWidget &mainWindow);
    // The LUT menu: a file's tables into the windows (nothing is sent), or the camera's tables
    // into a file (read first).
    void OpenLutFile();
    void SaveLutFile(QWidget &mainWindow);

    bool SaveGammaFile(const QString &path);
    bool LoadGammaFile(const QString &path);

    CLUTDlg &Window(int channel) const { return *windows_[static_cast<std::size_t>(channel)]; }

private:
    bool readAll(QWidget &mainWindow);

    Dialogs &dialogs_;
    OperationGuard &operations_;
    const SettingsStore &settings_;
    std::array<std::unique_ptr<CLUTDlg>, 3> windows_;
    bool placed_ = false;
};
