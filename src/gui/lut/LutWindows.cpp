#include "gui/lut/LutWindows.h"

#include <QApplication>
#include <QWidget>

#include "core/common/Dialogs.h"
#include "core/common/TextFiles.h"
#include "core/common/TickClock.h"
#include "gui/common/FileChoice.h"
#include "gui/operations/OperationGuard.h"

namespace {

constexpr int kWindowOffset = 50;
constexpr unsigned kLoadAllPauseMs = 20;

FileChoiceOptions gammaFileOptions(const QString &filter)
{
    FileChoiceOptions options;
    options.nameFilter = filter;
    options.defaultSuffix = QStringLiteral("csv");
    options.initialName = QStringLiteral("*.csv");
    return options;
}

} // namespace

LutWindows::LutWindows(const CLUTDlg::Services &services, const SettingsStore &settings)
    : dialogs_(services.dialogs), operations_(services.operations), settings_(settings)
{
    for (int channel = 0; channel < 3; ++channel)
        windows_[static_cast<std::size_t>(channel)] = std::make_unique<CLUTDlg>(channel, services);
}

LutWindows::~LutWindows() = default;

void LutWindows::CreateLutWindows()
{
    if (placed_)
        return;
    placed_ = true;
    int m = 0;
    for (const auto &window : windows_) {
        ++m;
        window->move(window->pos() + QPoint(kWindowOffset * m, kWindowOffset * m));
        window->hide();
    }
}

void LutWindows::ShowLutWindows(bool show)
{
    for (const auto &window : windows_) {
        if (show)
            window->showNormal();
        else
            window->hide();
    }
}

bool LutWindows::readAll(QWidget &mainWindow)
{
    // One operation of three reads: nothing else starts in the pauses between them.
    const OperationGuard::Hold hold(operations_);
    mainWindow.setEnabled(false);
    bool complete = true;
    for (const auto &window : windows_) {
        if (!window->ReadTableFromCamera()) {
            complete = false;
            break;
        }
    }
    mainWindow.setEnabled(true);
    return complete;
}

void LutWindows::LoadAllLutTables(QWidget &mainWindow)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    readAll(mainWindow);
    QApplication::restoreOverrideCursor();
    TickClock::SleepMs(kLoadAllPauseMs);
}

void LutWindows::OpenLutFile()
{
    const FileChoice choice =
        ChooseFileToOpen(dialogs_, settings_, gammaFileOptions(QStringLiteral("Camera gamma data (*.csv)")));
    if (choice.Chosen())
        LoadGammaFile(choice.path);
}

void LutWindows::SaveLutFile(QWidget &mainWindow)
{
    // The file holds the camera's tables, not whatever the windows show.
    if (!readAll(mainWindow))
        return;
    const FileChoice choice =
        ChooseFileToSave(dialogs_, settings_, gammaFileOptions(QStringLiteral("Camera gamm data (*.csv)")));
    if (choice.Chosen())
        SaveGammaFile(choice.path);
}

bool LutWindows::SaveGammaFile(const QString &path)
{
    GammaTables tables;
    for (int channel = 0; channel < 3; ++channel)
        tables[static_cast<std::size_t>(channel)] = Window(channel).Table();
    if (!WriteLinesAtomically(path, GammaFileLines(tables))) {
        ReportUnopenableFile(dialogs_, path, QString(), MessageIcon::Stop);
        return false;
    }
    return true;
}

bool LutWindows::LoadGammaFile(const QString &path)
{
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes)) {
        ReportUnopenableFile(dialogs_, path, QString(), MessageIcon::Stop);
        return false;
    }
    GammaTables tables;
    for (int channel = 0; channel < 3; ++channel)
        tables[static_cast<std::size_t>(channel)] = Window(channel).Table();
    const GammaFileRead read = ReadGammaFile(bytes, tables);
    // What was stored before an error stays in the tables, as the lines were read.
    for (int channel = 0; channel < 3; ++channel)
        Window(channel).Table() = tables[static_cast<std::size_t>(channel)];
    // An accepted file's tables are shown before any box: a window still in Edit Mode would
    // put its curve over the loaded table when it repaints behind the box.
    if (read.accepted) {
        for (const auto &window : windows_)
            window->ShowTableAsLoaded();
    }
    for (const QString &message : read.messages)
        dialogs_.Message(message, QString(), MessageIcon::Stop);
    return read.accepted;
}
