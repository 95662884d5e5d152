#include "gui/operations/ShadingTransfer.h"

#include "core/common/Dialogs.h"
#include "core/common/TextFiles.h"
#include "core/operations/ShadingExchange.h"
#include "core/protocol/Command.h"
#include "gui/common/FileChoice.h"
#include "gui/operations/LongOperation.h"

namespace {

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

bool ShadingTransfer::transfer(Direction direction)
{
    const QString message = direction == Direction::Read ? QStringLiteral("Now, reading camera shading data")
                                                         : QStringLiteral("Now, writing camera shading data");
    const int total = shape_.channels * shape_.valuesPerChannel;
    LongOperation operation(services_.progress, services_.operations, owner_, message, {&services_.windowList, true});
    const ShadingDirection way = direction == Direction::Read ? ShadingDirection::Read : ShadingDirection::Write;
    const int stoppedAt = ExchangeShading(services_.command, table_, way, shape_,
                                          [&](int done, int all) {
                                              operation.Step(Percent(done, all),
                                                             message + QString::asprintf("  (%d / %d)", done, all));
                                              if (owner_)
                                                  owner_->activateWindow();
                                          });
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
    if (!ShadingModeOn(services_.command, services_.dialogs) || !transfer(Direction::Read))
        return;
    const FileChoice choice = ChooseFileToSave(services_.dialogs, services_.settings, shadingFileOptions());
    if (!choice.Chosen())
        return;
    if (!WriteLinesAtomically(choice.path, ShadingFileLines(table_)))
        ReportUnopenableFile(services_.dialogs, choice.path, QString(), MessageIcon::Stop);
}

void ShadingTransfer::WriteShadingData()
{
    if (!ShadingModeOn(services_.command, services_.dialogs))
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
        FinishShadingWrite(services_.command);
}

void ShadingTransfer::StoreShadingData()
{
    StoreShadingTables(services_.command);
}
