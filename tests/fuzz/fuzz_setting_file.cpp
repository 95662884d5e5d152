// The setting-file reader on arbitrary bytes: every piece gets a decision, only writes carry a
// bound control, and nothing a rule rejects is ever planned as a write.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "core/common/Dialogs.h"
#include "core/formats/SettingFile.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"

namespace {

class SilentDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageRequest &) override { return MessageAnswer::Ok; }
    FileDialogResult ChooseFile(const FileDialogRequest &) override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static SilentDialogs dialogs;
    static const CommandTable commands;
    static const ControlTable table(dialogs);
    static const CameraModel model;
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QByteArray &piece : SettingFilePieces(input)) {
        if (piece.size() > kSettingPieceChars)
            std::abort();
        for (bool extended : {false, true}) {
            const SettingLineStep step = PlanSettingLine(piece, commands, table, model, extended);
            if (step.kind != SettingLineStep::Kind::Write)
                continue;
            const int row = table.CtrlId2TblIndex(step.controlId);
            if (row < 0 || table.Row(row).filed == 0 || (!extended && table.Row(row).access == 2))
                std::abort();
            if (!piece.contains('=') || piece.trimmed().startsWith('='))
                std::abort();
        }
    }
    return 0;
}
