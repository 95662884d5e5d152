#include "support/ScriptedDialogs.h"

#include <QStringList>

MessageAnswer ScriptedDialogs::ShowMessage(const MessageRequest &request)
{
    messages_.push_back(request);
    if (whileShowing_)
        whileShowing_();
    if (!answers_.empty()) {
        const MessageAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (request.buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Yes;
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        break;
    }
    return MessageAnswer::Ok;
}

FileDialogResult ScriptedDialogs::ChooseFile(const FileDialogRequest &request)
{
    fileRequests_.push_back(request);
    if (files_.empty())
        return FileDialogResult{};
    FileDialogResult result = files_.front();
    files_.pop_front();
    return result;
}

void ScriptedDialogs::QueueFilePath(const QString &path)
{
    FileDialogResult result;
    result.outcome = FileDialogResult::Outcome::Ok;
    result.path = path;
    files_.push_back(result);
}

QStringList ScriptedDialogs::MessageTexts() const
{
    QStringList texts;
    for (const MessageRequest &request : messages_)
        texts << request.text;
    return texts;
}

void ScriptedDialogs::Clear()
{
    answers_.clear();
    files_.clear();
    messages_.clear();
    fileRequests_.clear();
}
