#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include <QString>

#include <pybind11/pybind11.h>

#include "core/session/SessionOptions.h"
#include "core/session/CameraSession.h"
#include "python/PythonDialogs.h"

class ParameterCatalog;
struct Parameter;

// How qncam.open reaches a camera; the same choices as qnctl's link options.
struct OpenRequest {
    std::optional<std::string> port;
    std::optional<std::pair<int, int>> cameraLink; // kind, index
    pybind11::object rate;                         // "auto" or a link rate
    std::optional<std::string> mode;               // "standard", "extended"; none: stored
    bool fast = false;
    std::optional<int> waitSeconds;
    std::optional<std::string> settings;           // preference file; none: the tool's own
    pybind11::object onMessage;
};

// One camera for Python: a qnctl session (the same core objects, link search and catalogue)
// whose calls are the ones qnctl's commands make. Every exchange runs with the interpreter
// lock released; one thread at a time may use the camera, a second one is refused.
class CameraHandle final {
public:
    explicit CameraHandle(const OpenRequest &request);
    ~CameraHandle();
    CameraHandle(const CameraHandle &) = delete;
    CameraHandle &operator=(const CameraHandle &) = delete;

    void Close();
    bool IsOpen();
    QString Link();

    pybind11::dict Identify();
    pybind11::object Get(const std::string &name);
    void Set(const pybind11::object &values, const pybind11::kwargs &more);
    // A counter's value and status text, after setting it back to 0 when asked.
    pybind11::tuple Counter(int counter, bool reset);
    // The user id, or in the extended mode the camera id.
    void WriteIdentity(const std::string &value, bool cameraId);
    pybind11::dict Dump(const pybind11::object &progress);
    void Save(const std::string &path, bool shipping, bool force, const pybind11::object &progress);
    void Load(const std::string &path, const pybind11::object &progress);
    pybind11::list Diff(const std::string &path, const pybind11::object &progress);
    void StoreArea(int area);
    void LoadArea(int area);
    pybind11::list Send(const std::string &line, int waitMs);
    std::string Calibrate(const std::string &name);

    pybind11::tuple ReadShading(const pybind11::object &progress);
    void WriteShading(const pybind11::object &tables, const pybind11::object &progress);
    void StoreShading();
    pybind11::tuple ReadLut(const pybind11::object &progress);
    void WriteLut(const pybind11::object &tables, const pybind11::object &progress);

private:
    class Turn;

    // Raises the exception of the status with what the call's messages said.
    [[noreturn]] void fail(ExitStatus status, const QString &what) const;
    // Fails with the status of the engine's last exchange (or a lost link).
    [[noreturn]] void failLastExchange(const QString &what) const;
    // Raises when the shading mode could not be switched on (what names the transfer) or the
    // camera stopped answering at value stopped (counting from 1); returns when neither.
    void checkShadingTransfer(const QString &what, bool modeOn, int stopped) const;
    pybind11::object valueObject(const ParameterCatalog &catalog, const Parameter &parameter, std::int32_t value) const;

    SessionOptions options_;
    PythonDialogs dialogs_;
    std::unique_ptr<CameraSession> session_;
    std::atomic<bool> busy_{false};
};
