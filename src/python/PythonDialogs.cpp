#include "python/PythonDialogs.h"

#include "core/session/UnattendedBoxes.h"

namespace py = pybind11;

namespace {

// The logging module's levels.
constexpr int kInfo = 20;
constexpr int kWarning = 30;
constexpr int kError = 40;

int levelOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop:
        return kError;
    case MessageIcon::Exclamation:
        return kWarning;
    case MessageIcon::None:
    case MessageIcon::Information:
    case MessageIcon::Question:
        break;
    }
    return kInfo;
}

} // namespace

PythonDialogs::~PythonDialogs()
{
    const py::gil_scoped_acquire gil;
    onMessage_ = py::object();
    callbackError_.reset();
}

MessageAnswer PythonDialogs::ShowMessage(const MessageRequest &request)
{
    const QString text = PrintedMessage(request);
    shown_.append(text);
    const py::gil_scoped_acquire gil;
    try {
        if (!onMessage_.is_none())
            onMessage_(text.toStdString());
        else
            py::module_::import("logging").attr("getLogger")("qncam").attr("log")(levelOf(request.icon),
                                                                                 text.toStdString());
    } catch (py::error_already_set &error) {
        // The core goes on to its end; the first exception is raised when it returns.
        if (!callbackError_)
            callbackError_.emplace(std::move(error));
    }
    return UnattendedAnswer(request.buttons, false);
}

FileDialogResult PythonDialogs::ChooseFile(const FileDialogRequest &)
{
    return FileDialogResult{};
}

std::optional<py::error_already_set> PythonDialogs::TakeCallbackError()
{
    std::optional<py::error_already_set> error = std::move(callbackError_);
    callbackError_.reset();
    return error;
}
