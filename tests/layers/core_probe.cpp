// A program built from the camera core alone: its NEEDED entries show what the core links.
#include <QCoreApplication>

#include "core/common/Dialogs.h"
#include "core/composition/CoreObjects.h"
#include "core/protocol/Command.h"

namespace {

class NoDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageRequest &) override { return MessageAnswer::Ok; }
    FileDialogResult ChooseFile(const FileDialogRequest &) override { return {}; }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    NoDialogs dialogs;
    CoreObjects core(dialogs, QString(), TickClock());
    return core.commandTable.IsValidId(0) ? 0 : 1;
}
