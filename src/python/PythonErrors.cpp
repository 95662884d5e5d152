#include "python/PythonErrors.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace {

struct ErrorClass {
    ExitStatus status;
    const char *name;
    const char *doc;
};

constexpr ErrorClass kErrorClasses[] = {
    {ExitStatus::Refused, "CameraRefused",
     "The camera refused a command or reported an error; the message holds the camera's line."},
    {ExitStatus::NoCamera, "NoCamera",
     "No camera: the port could not be opened, nothing answered, or the link was lost; the message says why."},
    {ExitStatus::Usage, "UsageError",
     "A call that cannot be carried out as asked (unknown name, value out of limits, camera busy or closed); "
     "nothing was sent."},
    {ExitStatus::FileError, "FileError",
     "A file could not be read or written, holds too little, or would be replaced without force=True."},
    {ExitStatus::NothingVerified, "NothingVerified",
     "A setting file that sets no parameter of this camera (empty, another kind of file, every line "
     "unreadable): a comparison with it checks nothing, so it is no pass."},
};

// The name of the class for a status; the base class for any other.
const char *classNameOf(ExitStatus status)
{
    for (const ErrorClass &error : kErrorClasses) {
        if (error.status == status)
            return error.name;
    }
    return "Error";
}

} // namespace

CameraError::CameraError(ExitStatus status, const QString &message)
    : std::runtime_error(message.toStdString()), status_(status)
{
}

CalibrationError::CalibrationError(const QString &procedure, int code, const QString &result)
    : std::runtime_error(result.toStdString()), procedure_(procedure.toStdString()), code_(code)
{
}

void ThrowUsage(const QString &message)
{
    throw CameraError(ExitStatus::Usage, message);
}

void ThrowFile(const QString &path, const QString &what)
{
    throw CameraError(ExitStatus::FileError, QStringLiteral("%1: %2").arg(path, what));
}

void RegisterCameraErrors(py::module_ &module)
{
    PyObject *base = PyErr_NewExceptionWithDoc("qncam.Error", "The base class of every failure of qncam.",
                                               PyExc_Exception, nullptr);
    module.add_object("Error", py::reinterpret_steal<py::object>(base));
    for (const ErrorClass &error : kErrorClasses) {
        const std::string qualified = std::string("qncam.") + error.name;
        PyObject *subclass = PyErr_NewExceptionWithDoc(qualified.c_str(), error.doc, base, nullptr);
        module.add_object(error.name, py::reinterpret_steal<py::object>(subclass));
    }
    PyObject *calibrationFailed = PyErr_NewExceptionWithDoc(
        "qncam.CalibrationFailed",
        "A calibration or one-shot function ended with a result code other than its success code: "
        "code holds the code, procedure the name, the message the code's text.",
        base, nullptr);
    module.add_object("CalibrationFailed", py::reinterpret_steal<py::object>(calibrationFailed));
    // The classes are found in the module each time, so nothing here outlives an interpreter.
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const CameraError &error) {
            const py::object errorClass = py::module_::import("qncam").attr(classNameOf(error.Status()));
            PyErr_SetString(errorClass.ptr(), error.what());
        } catch (const CalibrationError &error) {
            const py::object errorClass = py::module_::import("qncam").attr("CalibrationFailed");
            const py::object raised = errorClass(error.what());
            raised.attr("code") = error.Code();
            raised.attr("procedure") = error.Procedure();
            PyErr_SetObject(errorClass.ptr(), raised.ptr());
        }
    });
}
