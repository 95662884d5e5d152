// The CLProtocol entry points. The only state beyond a call is what the interface itself
// implies: the connections by cookie, the log level and callback, and the stop-probe flag; one
// object holds them, created on first use. Hosts call from several threads, one camera per
// port: the map has a mutex of its own, held only to look a cookie up, and each connection
// one for its exchanges, so one camera's long exchange never holds up another's. A call in
// flight shares its connection with the map, so a disconnect meanwhile cannot free it.
#include <atomic>
#include <cstdarg>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "clprotocol/ClProtocolApi.h"
#include "clprotocol/Connection.h"
#include "clprotocol/ErrorTexts.h"
#include "clprotocol/Probe.h"
#include "core/genicam/RegisterKinds.h"

namespace {

class Library {
public:
    std::mutex mutex; // the map and the cookie counter
    std::map<CLUINT32, std::shared_ptr<Connection>> connections;
    CLUINT32 nextCookie = 1;
    std::atomic<bool> stopProbe{false};
    std::atomic<CLINT32> logLevel{clprotocol::kLogWarn};
    std::atomic<clp_logger_t> logger{nullptr};

    std::shared_ptr<Connection> Find(CLUINT32 cookie)
    {
        const std::lock_guard lock(mutex);
        const auto found = connections.find(cookie);
        return found == connections.end() ? nullptr : found->second;
    }

    void Log(CLINT32 level, const char *format, ...) __attribute__((format(printf, 3, 4)))
    {
        const clp_logger_t sink = logger.load();
        if (!sink || level > logLevel.load())
            return;
        va_list arguments;
        va_start(arguments, format);
        sink(level, format, arguments);
        va_end(arguments);
    }
};

Library &library()
{
    static Library instance;
    return instance;
}

// Copies a text with its NUL into a host's buffer, as every string function of the interface does.
CLINT32 copyOut(std::string_view text, CLINT8 *buffer, CLUINT32 *size)
{
    if (!size)
        return clprotocol::kInvalidPointer;
    const auto needed = static_cast<CLUINT32>(text.size() + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        return clserial::kBufferTooSmall;
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    *size = needed;
    return clprotocol::kNoError;
}

// One register exchange: the cookie and the pointers checked, the connection's exchange held
// for its length, and a failure logged with its address (a pending write is no failure).
template <typename Run>
CLINT32 registerExchange(CLUINT32 cookie, ISerial *serial, const void *buffer, const char *what, CLINT64 address,
                         const Run &run)
{
    Library &lib = library();
    const std::shared_ptr<Connection> connection = lib.Find(cookie);
    if (!connection)
        return clprotocol::kInvalidCookie;
    if (!serial || !buffer)
        return clprotocol::kInvalidPointer;
    const std::lock_guard exchange(connection->Mutex());
    const CLINT32 result = run(*connection, *serial);
    if (result != clprotocol::kNoError && result != clprotocol::kPendingWrite)
        lib.Log(clprotocol::kLogError, "%s of 0x%llx: %s", what, static_cast<unsigned long long>(address),
                connection->LastError().c_str());
    return result;
}

} // namespace

extern "C" {

CLINT32 clpInitLib(clp_logger_t logger, CLINT32 logLevel)
{
    library().logger = logger;
    library().logLevel = logLevel;
    return clprotocol::kNoError;
}

CLINT32 clpCloseLib(void)
{
    const std::lock_guard lock(library().mutex);
    library().connections.clear();
    return clprotocol::kNoError;
}

CLINT32 clpGetShortDeviceIDTemplates(CLINT8 *pShortDeviceTemplates, CLUINT32 *pBufferSize)
{
    return copyOut(ShortDeviceTemplates(), pShortDeviceTemplates, pBufferSize);
}

CLINT32 clpProbeDevice(ISerial *pSerial, const CLINT8 *pDeviceIDTemplate, CLINT8 *pDeviceID, CLUINT32 *pBufferSize,
                       CLUINT32 *pCookie, const CLUINT32 TimeOut)
{
    if (!pSerial || !pDeviceIDTemplate || !pCookie || !pBufferSize)
        return clprotocol::kInvalidPointer;
    const DeviceTemplate wanted = ParseDeviceTemplate(pDeviceIDTemplate);
    if (!wanted.valid)
        return clprotocol::kInvalidDeviceId;
    Library &lib = library();
    lib.stopProbe = false;
    const std::optional<ProbeResult> found = ProbeCamera(*pSerial, wanted, TimeOut, lib.stopProbe);
    if (!found) {
        lib.Log(clprotocol::kLogInfo, "no camera of %s answered", pDeviceIDTemplate);
        return clprotocol::kNoDeviceFound;
    }
    const CLINT32 copied = copyOut(found->deviceId, pDeviceID, pBufferSize);
    if (copied != clprotocol::kNoError)
        return copied;
    const std::lock_guard lock(lib.mutex);
    const CLUINT32 cookie = lib.nextCookie++;
    lib.connections[cookie] = std::make_shared<Connection>(found->modelCode, found->rateCode, found->deviceId);
    *pCookie = cookie;
    lib.Log(clprotocol::kLogInfo, "found %s", found->deviceId.c_str());
    return clprotocol::kNoError;
}

CLINT32 clpGetXMLIDs(ISerial *, const CLUINT32 Cookie, CLINT8 *pXMLIDs, CLUINT32 *pBufferSize, const CLUINT32)
{
    if (!library().Find(Cookie))
        return clprotocol::kInvalidCookie;
    return copyOut(RegisterMap::DeviceIdentity().xmlId, pXMLIDs, pBufferSize);
}

CLINT32 clpGetXMLDescription(ISerial *, const CLUINT32 Cookie, const CLINT8 *pXMLID, CLINT8 *pXMLBuffer,
                             CLUINT32 *pBufferSize, const CLUINT32)
{
    if (!library().Find(Cookie))
        return clprotocol::kInvalidCookie;
    if (!pXMLID || std::string_view(pXMLID) != RegisterMap::DeviceIdentity().xmlId)
        return clprotocol::kNoXmlDescriptionFound;
    return copyOut(std::string_view(RegisterMap::Description(), RegisterMap::DescriptionSize() - 1), pXMLBuffer,
                   pBufferSize);
}

CLINT32 clpReadRegister(ISerial *pSerial, const CLUINT32 Cookie, const CLINT64 Address, CLINT8 *pBuffer,
                        const CLINT64 BufferSize, const CLUINT32 TimeOut)
{
    return registerExchange(Cookie, pSerial, pBuffer, "read", Address, [&](Connection &connection, ISerial &serial) {
        return connection.Read(serial, Address, pBuffer, BufferSize, TimeOut);
    });
}

CLINT32 clpWriteRegister(ISerial *pSerial, const CLUINT32 Cookie, const CLINT64 Address, const CLINT8 *pBuffer,
                         const CLINT64 BufferSize, const CLUINT32 TimeOut)
{
    return registerExchange(Cookie, pSerial, pBuffer, "write", Address, [&](Connection &connection, ISerial &serial) {
        return connection.Write(serial, Address, pBuffer, BufferSize, TimeOut);
    });
}

CLINT32 clpContinueWriteRegister(ISerial *pSerial, const CLUINT32 Cookie, const BOOL8 ContinueWaiting,
                                 const CLUINT32 TimeOut)
{
    const std::shared_ptr<Connection> connection = library().Find(Cookie);
    if (!connection)
        return clprotocol::kInvalidCookie;
    if (!pSerial)
        return clprotocol::kInvalidPointer;
    const std::lock_guard exchange(connection->Mutex());
    return connection->ContinueWrite(*pSerial, ContinueWaiting != 0, TimeOut);
}

CLINT32 clpGetErrorText(CLINT32 errorCode, CLINT8 *errorText, CLUINT32 *errorTextSize, const CLUINT32 Cookie)
{
    if (errorCode == clprotocol::kGetLastError) {
        const std::shared_ptr<Connection> connection = library().Find(Cookie);
        if (!connection)
            return clprotocol::kInvalidCookie;
        const std::lock_guard exchange(connection->Mutex());
        return copyOut(connection->LastError(), errorText, errorTextSize);
    }
    const char *text = ErrorText(errorCode);
    if (!text)
        return clserial::kErrorNotFound;
    return copyOut(text, errorText, errorTextSize);
}

CLINT32 clpDisconnect(const CLUINT32 Cookie)
{
    const std::lock_guard lock(library().mutex);
    return library().connections.erase(Cookie) ? clprotocol::kNoError : clprotocol::kInvalidCookie;
}

CLINT32 clpGetCLProtocolVersion(CLUINT32 *pVersionMajor, CLUINT32 *pVersionMinor)
{
    if (!pVersionMajor || !pVersionMinor)
        return clprotocol::kInvalidPointer;
    *pVersionMajor = clprotocol::kVersionMajor;
    *pVersionMinor = clprotocol::kVersionMinor;
    return clprotocol::kNoError;
}

CLINT32 clpIsParamSupported(CLINT32 param)
{
    switch (param) {
    case clprotocol::kParamLogLevel:
    case clprotocol::kParamLogCallback:
    case clprotocol::kParamStopProbe:
    case clprotocol::kParamDeviceBaudRate:
    case clprotocol::kParamDeviceSupportedBaudRates:
        return clprotocol::kNoError;
    default:
        return clprotocol::kParamNotSupported;
    }
}

CLINT32 clpGetParam(ISerial *pSerial, CLINT32 param, const CLUINT32 Cookie, CLINT8 *pBuffer, const CLINT64 BufferSize,
                    const CLUINT32)
{
    if (clpIsParamSupported(param) != clprotocol::kNoError)
        return clprotocol::kParamNotSupported;
    if (!pBuffer)
        return clprotocol::kInvalidPointer;
    Library &lib = library();
    CLUINT32 value = 0;
    if (param == clprotocol::kParamLogCallback) {
        if (BufferSize != sizeof(clpLogCallback_t))
            return clprotocol::kParamDataSize;
        const clpLogCallback_t callback{kLogCallbackId, lib.logger.load()};
        std::memcpy(pBuffer, &callback, sizeof callback);
        return clprotocol::kNoError;
    }
    if (BufferSize != sizeof(CLUINT32))
        return clprotocol::kParamDataSize;
    switch (param) {
    case clprotocol::kParamLogLevel:
        value = static_cast<CLUINT32>(lib.logLevel.load());
        break;
    case clprotocol::kParamStopProbe:
        value = lib.stopProbe ? 1 : 0;
        break;
    default: {
        const std::shared_ptr<Connection> connection = lib.Find(Cookie);
        if (!connection)
            return clprotocol::kInvalidCookie;
        const std::lock_guard exchange(connection->Mutex());
        if (param == clprotocol::kParamDeviceBaudRate)
            value = connection->RateCode();
        else if (pSerial)
            value = Connection::SupportedRateCodes(*pSerial);
        else
            return clprotocol::kInvalidPointer;
    }
    }
    std::memcpy(pBuffer, &value, sizeof value);
    return clprotocol::kNoError;
}

CLINT32 clpSetParam(ISerial *pSerial, CLINT32 param, const CLUINT32 Cookie, const CLINT8 *pBuffer,
                    const CLINT64 BufferSize, const CLUINT32)
{
    if (clpIsParamSupported(param) != clprotocol::kNoError)
        return clprotocol::kParamNotSupported;
    if (!pBuffer)
        return clprotocol::kInvalidPointer;
    Library &lib = library();
    if (param == clprotocol::kParamLogCallback) {
        if (BufferSize != sizeof(clpLogCallback_t))
            return clprotocol::kParamDataSize;
        clpLogCallback_t callback;
        std::memcpy(&callback, pBuffer, sizeof callback);
        if (callback.id != kLogCallbackId)
            return clprotocol::kParamDataValue;
        lib.logger = callback.logger;
        return clprotocol::kNoError;
    }
    if (BufferSize != sizeof(CLUINT32))
        return clprotocol::kParamDataSize;
    CLUINT32 value = 0;
    std::memcpy(&value, pBuffer, sizeof value);
    switch (param) {
    case clprotocol::kParamLogLevel:
        lib.logLevel = static_cast<CLINT32>(value);
        return clprotocol::kNoError;
    case clprotocol::kParamStopProbe:
        // Raised from another thread while a probe runs: it is not taken under the mutex.
        lib.stopProbe = value != 0;
        return clprotocol::kNoError;
    case clprotocol::kParamDeviceSupportedBaudRates:
        return clprotocol::kParamReadOnly;
    default: {
        const std::shared_ptr<Connection> connection = lib.Find(Cookie);
        if (!connection)
            return clprotocol::kInvalidCookie;
        if (!pSerial)
            return clprotocol::kInvalidPointer;
        const std::lock_guard exchange(connection->Mutex());
        return connection->MoveRate(*pSerial, value);
    }
    }
}

CLINT32 clpGetEventData(const CLUINT32 Cookie, CLINT8 *, CLUINT32 *)
{
    // The camera sends nothing on its own: there is never an event.
    if (!library().Find(Cookie))
        return clprotocol::kInvalidCookie;
    return clserial::kTimeout;
}

} // extern "C"
