#pragma once

#include <array>
#include <memory>
#include <vector>

#include <QString>

#include "core/transport/CameraLinkTransport.h"
#include "core/transport/ClSerialLibrary.h"
#include "core/transport/LinkKind.h"

class Dialogs;
class SettingsStore;

// The serial channel of a Camera Link frame grabber through one kind of the Camera Link
// serial library, loaded at run time from the settings' Camera Link folder:
//  kind 1: every clser*.so / libclser*.so in the folder, one port per library file;
//  kind 2: libclserial.so, one port per manufacturer;
//  kind 3: libclallserial.so, one port per port that library reports.
class CameraLinkPort final : public CameraLinkTransport {
public:
    CameraLinkPort(LinkKind kind, const SettingsStore &settings, Dialogs &dialogs);
    ~CameraLinkPort() override;
    CameraLinkPort(const CameraLinkPort &) = delete;
    CameraLinkPort &operator=(const CameraLinkPort &) = delete;

    int PortCount() override;
    QString PortName(int index) const override;
    bool SelectPort(int index) override;
    bool SetBaud(int bitsPerSecond) override;
    void Close() override;
    bool Write(const char *bytes, int count, std::uint32_t timeoutMs) override;
    int Read(char *buffer, int count, std::uint32_t timeoutMs) override;
    bool CanCarry(int bitsPerSecond) const override;
    QString LastOpenFailureText() const override { return failure_; }
    QString TakeLossReason() override;

    bool IsOpen() const { return serialRef_ != nullptr; }
    bool IsLoaded() const { return library_ != nullptr; }

    // The file names of the kinds that load one library by name.
    static constexpr const char *kClSerialName = "libclserial.so";
    static constexpr const char *kClAllSerialName = "libclallserial.so";
    // The one serial port opened within the library (kind 1) or manufacturer (kind 2).
    static constexpr unsigned kSerialIndexInLibrary = 0;
    // Reads that fail with an error other than the time-out, one after the other, before
    // the port counts as lost: one spoilt read is a glitch, a run of them a port that is gone.
    static constexpr int kHardFailuresForLoss = 3;

private:
    void refreshList();
    void listLibraryFiles();
    void listManufacturers();
    void listAllPorts();
    bool openNamedLibrary(QString *error = nullptr);
    bool openLibraryFile(const QString &file);
    bool openSerial(unsigned serialIndex);
    bool selectManufacturer(const QString &name);
    QString folder() const;
    QString rateRefusalText() const;

    const LinkKind kind_;
    const SettingsStore &settings_;
    Dialogs &dialogs_;
    std::vector<QString> ports_;
    std::unique_ptr<ClSerialLibrary> library_;
    void *serialRef_ = nullptr;
    int selected_ = -1;
    QString failure_; // why the last SelectPort failed
    int hardFailures_ = 0; // failed reads in a row since the last good one
    QString lossReason_;   // set when the run reaches kHardFailuresForLoss, until taken
};

// The three kinds' ports of a run, in kind order (1, 2, 3).
using CameraLinkPorts = std::array<CameraLinkPort, 3>;
CameraLinkPorts MakeCameraLinkPorts(const SettingsStore &settings, Dialogs &dialogs);
