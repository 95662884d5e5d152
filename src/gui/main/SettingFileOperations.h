#pragma once

#include <functional>

#include <QPointer>
#include <QString>

#include "core/formats/SettingFile.h"
#include "gui/tools/SettingFileCompareWindow.h"

class AppContext;
class CCtrlToolDlg;

// The camera setting file on the main window: the file dialogs, the save of either variant, the
// load that sends every accepted line to the camera under the progress window, and the compare
// of the camera with a file in a window of its own.
class SettingFileOperations {
public:
    SettingFileOperations(AppContext &context, CCtrlToolDlg &window) : context_(context), window_(window) {}

    void SaveAllDataAs() { saveAs(SettingFileVariant::AllData); }
    void SaveShippingDataAs() { saveAs(SettingFileVariant::ShippingData); }
    void OpenSettingFile();
    bool WriteAllDataFile(const QString &path) { return writeFile(path, SettingFileVariant::AllData); }
    bool WriteShippingDataFile(const QString &path) { return writeFile(path, SettingFileVariant::ShippingData); }
    bool ReadSettingFile(const QString &path);
    void CompareWithSettingFile();
    // Reads what the file sets from the camera and shows where the two differ.
    void CompareWith(const QString &path);
    // nullptr until the first compare.
    SettingFileCompareWindow *CompareWindow() const { return compareWindow_; }

private:
    void saveAs(SettingFileVariant variant);
    // The open dialog with the setting files' rules; its folder is remembered after the use.
    void withFileToOpen(const std::function<void(const QString &path)> &use);
    bool writeFile(const QString &path, SettingFileVariant variant);
    QString applyFileValue(const CompareRow &row);

    AppContext &context_;
    CCtrlToolDlg &window_;
    QPointer<SettingFileCompareWindow> compareWindow_;
    QString comparedPath_;
};
