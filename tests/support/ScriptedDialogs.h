#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "core/common/Dialogs.h"

// Records every box and file dialog and answers from queues. A box with no queued answer gets
// the first button (Ok or Yes); a file dialog with none is cancelled.
class ScriptedDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageRequest &request) override;
    FileDialogResult ChooseFile(const FileDialogRequest &request) override;

    void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    void QueueFile(FileDialogResult result) { files_.push_back(std::move(result)); }
    void QueueFilePath(const QString &path);
    // Runs while each box is up, as the box's own event loop would run other windows' events.
    void WhileShowing(std::function<void()> run) { whileShowing_ = std::move(run); }

    const std::vector<MessageRequest> &Messages() const { return messages_; }
    const std::vector<FileDialogRequest> &FileRequests() const { return fileRequests_; }
    QStringList MessageTexts() const;
    void Clear();

private:
    std::deque<MessageAnswer> answers_;
    std::deque<FileDialogResult> files_;
    std::vector<MessageRequest> messages_;
    std::vector<FileDialogRequest> fileRequests_;
    std::function<void()> whileShowing_;
};
