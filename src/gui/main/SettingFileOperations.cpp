#include "gui/main/SettingFileOperations.h"

#include "core/catalog/ParameterCatalog.h"
#include "core/common/TextFiles.h"
#include "core/operations/SettingFileDiff.h"
#include "core/operations/SettingFileLoad.h"
#include "gui/app/AppContext.h"
#include "gui/common/FileChoice.h"
#include "gui/main/CCtrlToolDlg.h"
#include "gui/main/ControlBinding.h"
#include "gui/main/ControlValues.h"
#include "gui/main/DependentControls.h"
#include "gui/main/GainAutoControls.h"
#include "gui/main/LineRateDisplay.h"
#include "gui/main/ModelLayout.h"
#include "gui/main/SettingFileComparison.h"
#include "gui/operations/LongOperation.h"

namespace {

FileChoiceOptions settingFileChoice()
{
    FileChoiceOptions options;
    options.nameFilter = QStringLiteral("Camera setting data (*.cam)");
    options.defaultSuffix = QStringLiteral("cam");
    options.initialName = QStringLiteral("*.cam");
    options.folderSetting = SettingIndex::CameraFilePath;
    return options;
}

} // namespace

void SettingFileOperations::saveAs(SettingFileVariant variant)
{
    const FileChoiceOptions options = settingFileChoice();
    const FileChoice choice = ChooseFileToSave(context_.dialogs(), context_.settings(), options);
    if (!choice.Chosen())
        return;
    writeFile(choice.path, variant);
    RememberFolder(context_.settings(), options, choice.path);
}

void SettingFileOperations::withFileToOpen(const std::function<void(const QString &path)> &use)
{
    const FileChoiceOptions options = settingFileChoice();
    const FileChoice choice = ChooseFileToOpen(context_.dialogs(), context_.settings(), options);
    if (!choice.Chosen())
        return;
    use(choice.path);
    RememberFolder(context_.settings(), options, choice.path);
}

void SettingFileOperations::OpenSettingFile()
{
    withFileToOpen([this](const QString &path) { ReadSettingFile(path); });
}

void SettingFileOperations::CompareWithSettingFile()
{
    withFileToOpen([this](const QString &path) { CompareWith(path); });
}

void SettingFileOperations::CompareWith(const QString &path)
{
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes)) {
        ReportUnopenableFile(context_.dialogs(), path, QStringLiteral("File Open Error"), MessageIcon::Exclamation);
        return;
    }
    const bool extended = context_.controlMode().Get() == 1;
    SettingFileDiff diff;
    {
        LongOperation operation(context_.progress(), context_.operations(), &window_,
                                QStringLiteral("Now, comparing the camera with the setting file."),
                                {&context_.windowList(), false});
        diff = DiffSettingBytes(context_.command(), context_.commandTable(), context_.controlTable(),
                                context_.cameraModel(), extended, bytes,
                                [&operation](int percent) { operation.Step(percent); });
    }
    const ParameterCatalog catalog(context_.controlTable(), context_.commandTable());
    const CompareResult result =
        CompareResultOf(diff, path, catalog, [this](int controlId) { return window_.PageTitleOf(controlId); },
                        context_.cameraModel(), extended);
    if (!compareWindow_) {
        compareWindow_ = new SettingFileCompareWindow(
            context_.windowList(),
            {[this](int controlId) {
                 window_.activateWindow();
                 window_.raise();
                 window_.GoToControl(controlId);
             },
             [this](const CompareRow &row) { return applyFileValue(row); },
             [this] { CompareWith(comparedPath_); }},
            &window_);
    }
    comparedPath_ = path;
    compareWindow_->Show(result);
}

QString SettingFileOperations::applyFileValue(const CompareRow &row)
{
    if (!window_.Binding().EnterValue(row.controlId, row.fileCode))
        return row.camera + QStringLiteral(" (the field takes no value now)");
    const ParameterCatalog catalog(context_.controlTable(), context_.commandTable());
    const Parameter *parameter = catalog.OfControl(row.controlId);
    const std::int32_t shown = ReadControlValue(window_, row.controlId);
    return parameter ? catalog.ValueText(*parameter, shown) : QString::number(shown);
}

bool SettingFileOperations::writeFile(const QString &path, SettingFileVariant variant)
{
    const bool extended = context_.controlMode().Get() == 1;
    if (variant == SettingFileVariant::AllData && extended)
        window_.IdentifyModel();
    const QList<QByteArray> lines = SettingFileLines(context_.controlTable(), context_.commandTable(),
                                                     context_.cameraModel(), variant, extended);
    if (!WriteLinesAtomically(path, lines)) {
        ReportUnopenableFile(context_.dialogs(), path, QStringLiteral("File Open Error"), MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool SettingFileOperations::ReadSettingFile(const QString &path)
{
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes)) {
        ReportUnopenableFile(context_.dialogs(), path, QStringLiteral("File Open Error"), MessageIcon::Exclamation);
        return false;
    }
    const QList<QByteArray> pieces = SettingFilePieces(bytes);
    ControlTable &table = context_.controlTable();
    LongOperation operation(context_.progress(), context_.operations(), &window_,
                            QStringLiteral("Now, reading camera setting file."));
    const SettingLoadHooks hooks{[&operation](int percent) { operation.Step(percent); },
                                 [this](bool enable) { window_.EnableAberrationControls(enable); },
                                 [this] { window_.IdentifyModel(); },
                                 [this] { return context_.serialLink().IsLost(); },
                                 [this](int lineNumber, const QString &text) {
                                     window_.LogNote(MalformedLineNote(lineNumber, text));
                                 }};
    LoadSettingPieces(pieces, context_.command(), context_.commandTable(), table, context_.cameraModel(),
                      context_.controlMode().Get() == 1, hooks);
    window_.RefreshAllControls();
    table.CommitValues();
    operation.Finish();
    // A time-out says nothing here (the camera may simply refuse a line), but a pulled cable
    // leaves the camera with part of the file: the operator has to load it again.
    if (context_.serialLink().IsLost()) {
        context_.dialogs().Message(QStringLiteral("Loading the setting file stopped: the link to the camera was lost.\n"
                                                  "Load the file again when the camera is back."),
                                   QStringLiteral("Link lost"), MessageIcon::Exclamation);
    }
    ApplyModelLayout(window_, context_.cameraModel().Code());
    UpdateDependentControls(window_, DependentControlHooks{{}, [this] { window_.GainAuto().ApplyPercentage(); }});
    UpdateLineRateDisplay(window_, table);
    return true;
}
