// The qncam Python module: a camera object over the same core calls as qnctl.
#include <optional>
#include <string>

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "python/CameraHandle.h"
#include "python/FileChecks.h"
#include "python/PythonErrors.h"

namespace py = pybind11;

namespace {

// The tables of one kind (shading or look-up) of an open camera.
struct ShadingAccess {
    CameraHandle &camera;
};
struct LutAccess {
    CameraHandle &camera;
};

std::unique_ptr<CameraHandle> openCamera(std::optional<std::string> port, py::object rate, std::optional<std::string> mode,
                                         bool fast, std::optional<std::pair<int, int>> cameraLink,
                                         std::optional<int> wait, std::optional<std::string> settings,
                                         py::object onMessage)
{
    OpenRequest request;
    request.port = std::move(port);
    request.rate = std::move(rate);
    request.mode = std::move(mode);
    request.fast = fast;
    request.cameraLink = cameraLink;
    request.waitSeconds = wait;
    request.settings = std::move(settings);
    request.onMessage = std::move(onMessage);
    return std::make_unique<CameraHandle>(request);
}

constexpr const char *kModuleDoc = R"(Drive QN-5200 line-scan colour cameras from Python.

The module calls the same camera core as the qnctl command line: the same link search,
parameter names (mnemonics such as "GA", page labels such as "Image format/Width" or SFNC
names such as "ExposureTime" and "Gain[Red]"), limits,
setting-file rules and messages.

    import qncam
    with qncam.open("/dev/ttyUSB0", fast=True) as cam:
        print(cam.identify()["model"])
        cam.set(GA=150, **{"CL Configuration": "Eighty"})
        cam.save("line.cam")

Failures raise qncam.Error subclasses: CameraRefused (the camera's line in the message),
NoCamera (with the reason), UsageError (nothing was sent), FileError, and NothingVerified
(diff of a setting file that sets no parameter of the camera).

Messages the windows show in boxes go to the logger "qncam", or to on_message when given.

Every exchange runs without the interpreter lock, so cameras on different ports can be driven
from different threads at once. A camera object serves one thread at a time: a call from a
second thread while one runs raises UsageError("this camera is in use by another thread").)";

constexpr const char *kOpenDoc = R"(Opens a link and finds the camera on it, as qnctl does.

port: a COM name ("COM1", through the [Ports] group of the preference file), a device path
  ("/dev/ttyUSB0") or a network address ("rfc2217://host:port", "socket://host:port");
  None: the stored choice.
camera_link: (kind, index) of a Camera Link serial port instead of port; kind 1..3.
rate: "auto" finds the camera at any of the five link rates and moves it to 115200 bit/s;
  a number (9600, 19200, 38400, 57600, 115200) talks at that rate at once.
mode: "standard" or "extended"; None: the stored control mode.
fast: take each reply as soon as its line is complete (the wire stays the same).
wait: seconds to wait for the device to appear and the camera to answer.
settings: the preference file to read; None: the tool's own. It is never written.
on_message: called with each message text instead of logging it.

Raises NoCamera when the port does not open or nothing answers, UsageError for a bad choice.)";

} // namespace

PYBIND11_MODULE(qncam, module)
{
    module.doc() = kModuleDoc;
    RegisterCameraErrors(module);
    RegisterFileChecks(module);

    py::class_<ShadingAccess>(module, "Shading", "The camera's shading correction tables (G, R, B; 1,024 values each).")
        .def(
            "read", [](ShadingAccess &self, py::object progress) { return self.camera.ReadShading(progress); },
            py::arg("progress") = py::none(),
            ""
            "Reads the three tables in the file's order (G, R, B). The camera's shading mode must be on.\n"
            "progress is called with (done, total) as the values come.")
        .def(
            "write",
            [](ShadingAccess &self, py::object tables, py::object progress) {
                self.camera.WriteShading(tables, progress);
            },
            py::arg("tables"), py::arg("progress") = py::none(),
            ""
            "Writes three sequences of 1,024 whole numbers (G, R, B) and has the camera take them into\n"
            "use. Every value is checked before anything is sent.")
        .def(
            "store", [](ShadingAccess &self) { self.camera.StoreShading(); },
            "Keeps the camera's shading tables in its flash memory.");

    py::class_<LutAccess>(module, "Lut", "The camera's look-up tables (R, G, B; 256 entries of 0..4095 each).")
        .def(
            "read", [](LutAccess &self, py::object progress) { return self.camera.ReadLut(progress); },
            py::arg("progress") = py::none(),
            ""
            "Reads the red, green and blue tables. progress is called with (done, total).")
        .def(
            "write",
            [](LutAccess &self, py::object tables, py::object progress) { self.camera.WriteLut(tables, progress); },
            py::arg("tables"), py::arg("progress") = py::none(),
            ""
            "Writes three sequences of 256 whole numbers, 0 to 4095 (R, G, B). Every value is checked\n"
            "before anything is sent.");

    py::class_<CameraHandle>(module, "Camera",
                             "An open camera; made by qncam.open(). Use it in a with block, or call close().")
        .def("__enter__", [](py::object self) { return self; })
        .def(
            "__exit__", [](CameraHandle &self, py::args) { self.Close(); },
            "Closes the camera.")
        .def("close", &CameraHandle::Close, "Closes the link; later calls raise UsageError.")
        .def_property_readonly("is_open", &CameraHandle::IsOpen, "Whether the camera is still open.")
        .def_property_readonly(
            "link", [](CameraHandle &self) { return self.Link().toStdString(); },
            "What the link reaches: the COM name with its device, or the Camera Link port.")
        .def("identify", &CameraHandle::Identify,
             ""
             "The model name (model) and code (model_code), firmware, fpga, device_version, camera_id\n"
             "and user_id.")
        .def("get", &CameraHandle::Get, py::arg("name"),
             ""
             "Reads one parameter, named by its mnemonic (\"GA\") or page label (\"Exposure Time\"; a label\n"
             "two groups share needs its group: \"Image format/Width\"). A list parameter gives its entry's\n"
             "text, any other a number. The readouts the camera gives on request are numbers too:\n"
             "\"Temperature\", \"Counter 0\"..\"Counter 3\", \"Line Rate min limit\", \"Exposure max limit\",\n"
             "\"Exposure min limit\" (or TMP0, CV0..CV3, LRMIN, PEMAX, PEMIN).")
        .def(
            "counter", [](CameraHandle &self, int n) { return self.Counter(n, false); }, py::arg("n"),
            "Counter n (0..3): its value and status text (\"Counter Idle\", \"Counter Active\", ...).")
        .def(
            "reset_counter", [](CameraHandle &self, int n) { return self.Counter(n, true); }, py::arg("n"),
            "Sets counter n back to 0, then reads it as counter() does.")
        .def(
            "set_user_id", [](CameraHandle &self, const std::string &id) { self.WriteIdentity(id, false); },
            py::arg("text"),
            "Writes the user id. A text the windows refuse (a line break, a character outside Latin-1, too\n"
            "long) raises UsageError before anything is sent.")
        .def(
            "set_camera_id", [](CameraHandle &self, const std::string &id) { self.WriteIdentity(id, true); },
            py::arg("camera_id"),
            "Writes the camera id, ten characters, in the extended mode only, as the windows do.")
        .def("set", &CameraHandle::Set, py::arg("values") = py::none(),
             ""
             "Writes parameters in order: a dict of names and values, then keyword arguments. Values are\n"
             "numbers, or a list entry's text (\"Eighty\"). Every value is checked against the parameter's\n"
             "limits before anything is sent.")
        .def("dump", &CameraHandle::Dump, py::arg("progress") = py::none(),
             ""
             "Reads every setting of the full read, keyed by mnemonic. progress gets (percent, 100).")
        .def("save", &CameraHandle::Save, py::arg("path"), py::arg("shipping") = false, py::arg("force") = false,
             py::arg("progress") = py::none(),
             ""
             "Reads every setting, then writes an \"All Data\" (or, with shipping, \"Shipping Data\")\n"
             "setting file. An existing file is replaced only with force; nothing is written when a\n"
             "parameter could not be read.")
        .def("load", &CameraHandle::Load, py::arg("path"), py::arg("progress") = py::none(),
             ""
             "Loads a setting file into the camera under the windows' rules. progress gets (percent, 100).")
        .def("diff", &CameraHandle::Diff, py::arg("path"), py::arg("progress") = py::none(),
             ""
             "Reads every parameter the setting file would set, under the load rules, and lists those\n"
             "whose camera value differs from the file's (\"not read\" for a value the camera did not\n"
             "give) as (name, mnemonic, camera, file), then each line of the file whose value is not a\n"
             "whole number as (\"line N\", \"\", \"unreadable\", text). Empty when the camera holds\n"
             "the file. FileError for a file of another model; NothingVerified for a file that sets no\n"
             "parameter of this camera (empty, a gamma table, every line unreadable).")
        .def("store_area", &CameraHandle::StoreArea, py::arg("area"),
             ""
             "Stores the current settings in flash area 1..3 (0, the factory area, in extended mode only).")
        .def("load_area", &CameraHandle::LoadArea, py::arg("area"),
             "Makes the settings of flash area 0 (factory) to 3 the current ones.")
        .def("calibrate", &CameraHandle::Calibrate, py::arg("name"),
             ""
             "Runs a calibration or one-shot function and returns its result text. NAME: white-balance,\n"
             "white-balance-exposure, gain-auto, shading, pixel-gain, pixel-black, and in extended mode\n"
             "pixel-gain-factory, pixel-black-factory. CalibrationFailed (with .code) for a result other\n"
             "than the success code; CameraRefused when the start was refused; NoCamera when the camera\n"
             "did not answer.")
        .def("send", &CameraHandle::Send, py::arg("line"), py::arg("wait_ms") = 500,
             ""
             "Sends one raw line and returns every line received within the wait. NoCamera when none came.")
        .def_property_readonly(
            "shading", [](CameraHandle &self) { return ShadingAccess{self}; }, py::keep_alive<0, 1>(),
            "The shading correction tables (qncam.Shading).")
        .def_property_readonly(
            "lut", [](CameraHandle &self) { return LutAccess{self}; }, py::keep_alive<0, 1>(),
            "The look-up tables (qncam.Lut).");

    module.def("open", &openCamera, py::arg("port") = py::none(), py::kw_only(), py::arg("rate") = "auto",
               py::arg("mode") = py::none(), py::arg("fast") = false, py::arg("camera_link") = py::none(),
               py::arg("wait") = py::none(), py::arg("settings") = py::none(), py::arg("on_message") = py::none(),
               kOpenDoc);
}
