#include "cli/ConsoleDialogs.h"

#include <cstdio>

#include "core/session/UnattendedBoxes.h"

MessageAnswer ConsoleDialogs::ShowMessage(const MessageRequest &request)
{
    const QString line = PrintedMessage(request);
    shown_.append(line);
    std::fprintf(stderr, "qnctl: %s\n", line.toLocal8Bit().constData());
    return UnattendedAnswer(request.buttons, force_);
}

FileDialogResult ConsoleDialogs::ChooseFile(const FileDialogRequest &)
{
    return FileDialogResult{};
}
