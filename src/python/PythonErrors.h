#pragma once

#include <stdexcept>

#include <QString>

#include "core/session/CameraSession.h"

namespace pybind11 {
class module_;
}

// The failures a Python caller sees, one class per exit status of qnctl. The core reports
// failures as results; the binding turns each into one of these at its edge, and the module
// translates them into the Python exception classes.
class CameraError final : public std::runtime_error {
public:
    CameraError(ExitStatus status, const QString &message);
    ExitStatus Status() const { return status_; }

private:
    ExitStatus status_;
};

// A procedure of the camera that ran and ended with a result code other than its success code;
// the message is the code's text.
class CalibrationError final : public std::runtime_error {
public:
    CalibrationError(const QString &procedure, int code, const QString &result);
    const std::string &Procedure() const { return procedure_; }
    int Code() const { return code_; }

private:
    std::string procedure_;
    int code_;
};

[[noreturn]] void ThrowUsage(const QString &message);
[[noreturn]] void ThrowFile(const QString &path, const QString &what);

// Creates qncam.Error and its subclasses in the module and translates CameraError and
// CalibrationError into them.
void RegisterCameraErrors(pybind11::module_ &module);
