#pragma once

#include <QString>

#include "core/formats/SettingFile.h"

class AppContext;
class CCtrlToolDlg;

// The camera setting file on the main window: the file dialogs, the save of either variant and
// the load that sends every accepted line to the camera under the progress window.
class SettingFileOperations {
public:
    SettingFileOperations(AppContext &context, CCtrlToolDlg &window) : context_(context), window_(window) {}

    void SaveAllDataAs() { saveAs(SettingFileVariant::AllData); }
    void SaveShippingDataAs() { saveAs(SettingFileVariant::ShippingData); }
    void OpenSettingFile();
    bool WriteAllDataFile(const QString &path) { return writeFile(path, SettingFileVariant::AllData); }
    bool WriteShippingDataFile(const QString &path) { return writeFile(path, SettingFileVariant::ShippingData); }
    bool ReadSettingFile(const QString &path);

private:
    void saveAs(SettingFileVariant variant);
    bool writeFile(const QString &path, SettingFileVariant variant);

    AppContext &context_;
    CCtrlToolDlg &window_;
};
