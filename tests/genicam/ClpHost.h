#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QTemporaryDir>

#include "CameraSimulator.h"
#include "clprotocol/ClProtocolApi.h"

// The host side of a CLProtocol library, as a GenTL producer has it: the library found through
// GENICAM_CLPROTOCOL and the standard's folder layout, its entry points, and a serial port
// (here the simulator's pseudo-terminal) handed to it as an ISerial.

struct ClpFunctions {
    decltype(&clpGetShortDeviceIDTemplates) templates = nullptr;
    decltype(&clpProbeDevice) probe = nullptr;
    decltype(&clpGetXMLIDs) xmlIds = nullptr;
    decltype(&clpGetXMLDescription) xmlDescription = nullptr;
    decltype(&clpReadRegister) read = nullptr;
    decltype(&clpWriteRegister) write = nullptr;
    decltype(&clpContinueWriteRegister) continueWrite = nullptr;
    decltype(&clpGetErrorText) errorText = nullptr;
    decltype(&clpDisconnect) disconnect = nullptr;
    decltype(&clpGetParam) getParam = nullptr;
    decltype(&clpSetParam) setParam = nullptr;
};

// Every lib*.so in <location>/Linux64_x64 of each location in GENICAM_CLPROTOCOL (':' or ';'
// between them) that has the entry points; the first one is kept open.
class ClpLibrary {
public:
    ClpLibrary();
    ~ClpLibrary();
    bool Loaded() const { return handle_ != nullptr; }
    const std::string &Path() const { return path_; }
    const ClpFunctions &Fn() const { return fn_; }

private:
    void *handle_ = nullptr;
    std::string path_;
    ClpFunctions fn_;
};

class PtySerial final : public ISerial {
public:
    explicit PtySerial(const QString &device);
    ~PtySerial();
    CLINT32 clSerialRead(CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 serialTimeOut) override;
    CLINT32 clSerialWrite(CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 serialTimeOut) override;
    CLINT32 clGetSupportedBaudRates(CLUINT32 *baudRates) override;
    CLINT32 clSetBaudRate(CLUINT32 baudRate) override;

private:
    int fd_ = -1;
};

// A simulated camera on a pseudo-terminal, the library installed into a temporary location in
// the standard's layout, GENICAM_CLPROTOCOL pointing there, and the library loaded from it.
class ClpRig {
public:
    explicit ClpRig(int cameraBaud = 9600, int procedureMs = 200);
    ~ClpRig();

    CameraSimulator &Camera() { return camera_; }
    ISerial &Serial() { return *serial_; }
    const ClpFunctions &Fn() const { return library_->Fn(); }
    const ClpLibrary &Library() const { return *library_; }
    QString Location() const { return location_.path(); }

    // Probes with the family's template; the cookie, or 0 when nothing answered.
    CLUINT32 Probe(std::string *deviceId = nullptr);
    // The lines the camera took since the wire log was last cleared.
    QList<QByteArray> Lines() const { return camera_.ReceivedLines(); }

private:
    QTemporaryDir location_;
    CameraSimulator camera_;
    std::unique_ptr<PtySerial> serial_;
    std::unique_ptr<ClpLibrary> library_;
};

// A host's time-out for a register access (the standard's default).
inline constexpr CLUINT32 kHostTimeoutMs = 500;
