#include "operations/ShadingTransfer.h"

#include "common/Dialogs.h"
#include "common/TextFiles.h"
#include "operations/LongOperation.h"
#include "protocol/Command.h"
#include "ui/common/FileChoice.h"

namespace {

namespace Cmd {
constexpr int SDM = 64;
constexpr int SDDS = 68;
constexpr int SDDI = 69;
constexpr int SDD = 70;
constexpr int SDDU = 71;
constexpr int SDDA = 72;
} // namespace Cmd

constexpr std::uint32_t kModeQueryMs = 5000;
constexpr std::uint32_t kChannelSelectMs = 3000;
constexpr std::uint32_t kValueMs = 1000;
constexpr std::uint32_t kFinishMs = 5000;

FileChoiceOptions shadingFileOptions()
{
    FileChoiceOptions options;
    options.nameFilter = QStringLiteral("Camera shading data (*.csv)");
    options.defaultSuffix = QStringLiteral("csv");
    options.initialName = QStringLiteral("*.csv");
    return options;
}

} // namespace

ShadingTransfer::ShadingTransfer(const Services &services, QWidget *owner, Shape shape)
    : services_(services), owner_(owner), shape_(shape)
{
}

int ShadingTransfer::Percent(int n, int total)
{
    return total > 0 ? static_cast<int>(static_cast<double>(n) / total * 100.0) : 0;
}

bool ShadingTransfer::shadingModeOn()
{
    std::int32_t mode = 0;
    if (!services_.command.QueryValue(Cmd::SDM, mode, kModeQueryMs))
        return false;
    if (mode == 0) {
        services_.dialogs.Message(QStringLiteral("Shading Mode is OFF"), QString(), MessageIcon::Stop);
        return false;
    }
    return true;
}

bool ShadingTransfer::transfer(Direction direction)
{
    Command &command = services_.command;
    const QString message = direction == Direction::Read ? QStringLiteral("Now, reading camera shading data")
                                                         : QStringLiteral("Now, writing camera shading data");
    const int total = shape_.channels * shape_.valuesPerChannel;
    // A camera that stopped answering would keep every later exchange waiting for its whole
    // limit; the transfer ends at the first exchange that got no answer at all.
    const auto silent = [&command] { return command.LastOutcome() == Command::Outcome::NoAnswer; };
    int stoppedAt = 0;

    LongOperation operation(services_.progress, owner_, message, {&services_.windowList, true});
    for (int channel = 0; channel < shape_.channels && stoppedAt == 0; ++channel) {
        auto &values = table_[static_cast<std::size_t>(channel)];
        command.SetValue(Cmd::SDDS, channel, kChannelSelectMs);
        if (silent()) {
            stoppedAt = channel * shape_.valuesPerChannel + 1;
            break;
        }
        for (int index = 1; index <= shape_.valuesPerChannel; ++index) {
            const int n = channel * shape_.valuesPerChannel + index;
            std::int32_t &entry = values[static_cast<std::size_t>(index - 1)];
            command.SetValue(Cmd::SDDI, index, kValueMs);
            if (!silent()) {
                if (direction == Direction::Read) {
                    std::int32_t value = 0;
                    if (command.QueryValue(Cmd::SDD, value, kValueMs))
                        entry = value;
                } else {
                    command.SetValue(Cmd::SDD, entry, kValueMs);
                }
            }
            if (silent()) {
                stoppedAt = n;
                break;
            }
            operation.Step(Percent(n, total), message + QString::asprintf("  (%d / %d)", n, total));
            if (owner_)
                owner_->activateWindow();
        }
    }
    operation.Finish();
    if (stoppedAt == 0)
        return true;
    services_.dialogs.Message(QStringLiteral("The camera stopped answering at value %1 of %2.\n"
                                             "The transfer has been stopped.")
                                  .arg(stoppedAt)
                                  .arg(total),
                              QStringLiteral("Communication Error"), MessageIcon::Exclamation);
    return false;
}

void ShadingTransfer::ReadShadingData()
{
    if (!shadingModeOn() || !transfer(Direction::Read))
        return;
    const FileChoice choice = ChooseFileToSave(services_.dialogs, services_.settings, shadingFileOptions());
    if (!choice.Chosen())
        return;
    if (!WriteLinesAtomically(choice.path, ShadingFileLines(table_)))
        ReportUnopenableFile(services_.dialogs, choice.path, QString(), MessageIcon::Stop);
}

void ShadingTransfer::WriteShadingData()
{
    if (!shadingModeOn())
        return;
    const FileChoice choice = ChooseFileToOpen(services_.dialogs, services_.settings, shadingFileOptions());
    if (!choice.Chosen())
        return;
    QByteArray bytes;
    if (!ReadFileBytes(choice.path, bytes)) {
        ReportUnopenableFile(services_.dialogs, choice.path, QString(), MessageIcon::Stop);
        return;
    }
    switch (ReadShadingFile(bytes, table_).outcome) {
    case ShadingFileRead::Outcome::InvalidCount:
        services_.dialogs.Message(QStringLiteral("Invaild data count format"), QString(), MessageIcon::Stop);
        return;
    case ShadingFileRead::Outcome::TooMany:
        services_.dialogs.Message(QStringLiteral("Too many data"), QString(), MessageIcon::Stop);
        break;
    case ShadingFileRead::Outcome::Complete:
        break;
    }
    if (transfer(Direction::Write))
        services_.command.SetValue(Cmd::SDDU, 0, kFinishMs);
}

void ShadingTransfer::StoreShadingData()
{
    services_.command.SetValue(Cmd::SDDA, 0, kFinishMs);
}
