#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "clprotocol/ClProtocolApi.h"
#include "clprotocol/LineExchange.h"
#include "core/genicam/RegisterKinds.h"

// One camera that a host probed: its model and link rate, the values the library keeps for it
// (the selectors, the control mode) and the register reads and writes, each translated into
// the lines the tool sends for the same change. A value outside a register's limits or codes
// is refused before anything is sent.
class Connection {
public:
    Connection(std::int32_t modelCode, CLUINT32 rateCode, std::string deviceId);

    CLINT32 Read(ISerial &serial, CLINT64 address, CLINT8 *buffer, CLINT64 size, CLUINT32 timeoutMs);
    CLINT32 Write(ISerial &serial, CLINT64 address, const CLINT8 *buffer, CLINT64 size, CLUINT32 timeoutMs);
    // After kPendingWrite: waits once more, or gives the write up.
    CLINT32 ContinueWrite(ISerial &serial, bool continueWaiting, CLUINT32 timeoutMs);

    // The link rate as a CL_BAUDRATE bit; moving it moves camera and host port together.
    CLUINT32 RateCode() const { return rateCode_; }
    CLINT32 MoveRate(ISerial &serial, CLUINT32 code);
    // The rates both the camera and the host's port can take.
    static CLUINT32 SupportedRateCodes(ISerial &serial);

    const std::string &DeviceId() const { return deviceId_; }
    // Held by the caller for each call: one exchange at a time on the camera's line.
    std::mutex &Mutex() { return mutex_; }
    const std::string &LastError() const { return lastError_; }

private:
    struct Pending {
        const RegisterMap::Entry *entry;
        std::chrono::steady_clock::time_point deadline;
    };

    CLINT32 checkAvailable(const RegisterMap::Entry &entry);
    CLINT32 readEntry(ISerial &serial, const RegisterMap::Entry &entry, CLINT8 *buffer, CLUINT32 timeoutMs);
    CLINT32 writeValue(ISerial &serial, const RegisterMap::Entry &entry, std::int32_t value, CLUINT32 timeoutMs);
    CLINT32 writeText(ISerial &serial, const RegisterMap::Entry &entry, const CLINT8 *buffer, CLINT64 size,
                      CLUINT32 timeoutMs);
    // A set whose acknowledgement may outlast the host's time-out.
    CLINT32 startLong(ISerial &serial, const RegisterMap::Entry &entry, const char *mnemonic, std::int32_t value,
                      CLUINT32 timeoutMs);
    CLINT32 set(ISerial &serial, const char *mnemonic, std::int32_t value, CLUINT32 timeoutMs);
    CLINT32 query(ISerial &serial, const char *mnemonic, std::int32_t &value, CLUINT32 timeoutMs);
    CLINT32 outcome(const LineExchange::Reply &reply, const char *mnemonic);
    std::int32_t &slot(RegisterMap::Slot which) { return slots_[static_cast<std::size_t>(which)]; }

    std::int32_t modelCode_;
    CLUINT32 rateCode_;
    std::string deviceId_;
    std::array<std::int32_t, RegisterMap::kSlotCount> slots_{};
    std::optional<std::int32_t> shadingChannelSent_; // the camera's SDDS, as last set
    std::optional<Pending> pending_;
    LineExchange line_;
    std::string lastError_;
    std::mutex mutex_;
};

// The register at an address; nullptr when none starts there.
const RegisterMap::Entry *FindRegister(CLINT64 address);
