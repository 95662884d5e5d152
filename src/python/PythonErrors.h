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

[[noreturn]] void ThrowUsage(const QString &message);
[[noreturn]] void ThrowFile(const QString &path, const QString &what);

// Creates qncam.Error and its subclasses in the module and translates CameraError into them.
void RegisterCameraErrors(pybind11::module_ &module);
