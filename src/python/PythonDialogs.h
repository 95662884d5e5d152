#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include <pybind11/pybind11.h>

#include "core/common/Dialogs.h"

// The message boxes of the core, for a Python caller: each box becomes one message, given to
// the caller's on_message callable or else logged through the "qncam" logger (a stop box as
// an error, an exclamation as a warning, the rest as information). Questions get the safe
// answer, as qnctl gives them without --force; file dialogs are never shown.
//
// The core calls this with the interpreter lock released; it is taken only for the callable.
// The messages of the current call are kept, so a failure can say what the camera said.
class PythonDialogs final : public Dialogs {
public:
    explicit PythonDialogs(pybind11::object onMessage) : onMessage_(std::move(onMessage)) {}
    ~PythonDialogs() override;

    MessageAnswer ShowMessage(const MessageRequest &request) override;
    FileDialogResult ChooseFile(const FileDialogRequest &request) override;

    // Starts a new call: forgets the messages shown so far.
    void BeginCall() { shown_.clear(); }
    const QStringList &Shown() const { return shown_; }
    // An exception the callable raised, taken out to be raised again once the core returns.
    std::optional<pybind11::error_already_set> TakeCallbackError();

private:
    pybind11::object onMessage_;
    QStringList shown_;
    std::optional<pybind11::error_already_set> callbackError_;
};
