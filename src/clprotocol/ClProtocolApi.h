#pragma once

#include <cstdarg>
#include <cstdint>

#include "core/transport/ClSerialApi.h"

// Our own declarations of the GenICam CLProtocol interface, version 1.2, written from the
// published standard: the types, the serial access a host hands in, the result codes, the
// parameters and the C entry points a GenTL producer looks up in a CLProtocol library.

using CLINT8 = clserial::CLINT8;
using CLINT32 = clserial::CLINT32;
using CLUINT32 = clserial::CLUINT32;
using CLINT64 = std::int64_t;
using BOOL8 = unsigned char;

// The host's serial port. The layout of its virtual table is the interface: four functions in
// this order, as the Camera Link serial API defines them (sizes in and out, time-outs in ms,
// rates in bit/s, supported rates as CL_BAUDRATE bits). The library never deletes one.
class ISerial {
public:
    virtual CLINT32 clSerialRead(CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 serialTimeOut) = 0;
    virtual CLINT32 clSerialWrite(CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 serialTimeOut) = 0;
    virtual CLINT32 clGetSupportedBaudRates(CLUINT32 *baudRates) = 0;
    virtual CLINT32 clSetBaudRate(CLUINT32 baudRate) = 0;

protected:
    ~ISerial() = default;
};

namespace clprotocol {

inline constexpr CLUINT32 kVersionMajor = 1;
inline constexpr CLUINT32 kVersionMinor = 2;

// The standard's result codes beyond the Camera Link serial API's.
enum Result : CLINT32 {
    kNoError = 0,
    kPendingWrite = 20101,
    kInvalidDeviceId = -20100,
    kNoDeviceFound = -20101,
    kNoXmlDescriptionFound = -20102,
    kInvalidCookie = -20103,
    kGetLastError = -20104,
    kParamNotSupported = -20105,
    kParamReadOnly = -20106,
    kParamDataSize = -20107,
    kParamDataValue = -20108,
    kInvalidPointer = -10011,
    // This library's own, in the range the standard leaves to the maker.
    kNoSuchRegister = -30001,
    kNotAccessible = -30002,
    kOutOfRange = -30003,
    kCameraRefused = -30004,
    kUnexpectedReply = -30005,
    kNotAvailable = -30006,
    kTextNotSendable = -30007,
};

enum Param : CLINT32 {
    kParamLogLevel = 1,
    kParamLogCallback = 2,
    kParamStopProbe = 3,
    kParamDeviceBaudRate = -1,
    kParamDeviceSupportedBaudRates = -2,
};

// The log levels of the standard (CLP_LOG_FATAL .. CLP_LOG_NOTSET).
enum LogLevel : CLINT32 {
    kLogFatal = 0,
    kLogError = 300,
    kLogWarn = 400,
    kLogInfo = 600,
    kLogDebug = 700,
    kLogNotSet = 800,
};

} // namespace clprotocol

extern "C" {

using clp_logger_t = void (*)(CLINT32 level, const char *stringFormat, va_list argptr);

struct clpLogCallback_t {
    CLUINT32 id; // must be kLogCallbackId
    clp_logger_t logger;
};
inline constexpr CLUINT32 kLogCallbackId = 0xeb6e1ca9;

#define QN_CLP_EXPORT __attribute__((visibility("default")))

QN_CLP_EXPORT CLINT32 clpInitLib(clp_logger_t logger, CLINT32 logLevel);
QN_CLP_EXPORT CLINT32 clpCloseLib(void);
QN_CLP_EXPORT CLINT32 clpGetShortDeviceIDTemplates(CLINT8 *pShortDeviceTemplates, CLUINT32 *pBufferSize);
QN_CLP_EXPORT CLINT32 clpProbeDevice(ISerial *pSerial, const CLINT8 *pDeviceIDTemplate, CLINT8 *pDeviceID,
                                     CLUINT32 *pBufferSize, CLUINT32 *pCookie, const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpGetXMLIDs(ISerial *pSerial, const CLUINT32 Cookie, CLINT8 *pXMLIDs, CLUINT32 *pBufferSize,
                                   const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpGetXMLDescription(ISerial *pSerial, const CLUINT32 Cookie, const CLINT8 *pXMLID,
                                           CLINT8 *pXMLBuffer, CLUINT32 *pBufferSize, const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpReadRegister(ISerial *pSerial, const CLUINT32 Cookie, const CLINT64 Address, CLINT8 *pBuffer,
                                      const CLINT64 BufferSize, const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpWriteRegister(ISerial *pSerial, const CLUINT32 Cookie, const CLINT64 Address,
                                       const CLINT8 *pBuffer, const CLINT64 BufferSize, const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpContinueWriteRegister(ISerial *pSerial, const CLUINT32 Cookie, const BOOL8 ContinueWaiting,
                                               const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpGetErrorText(CLINT32 errorCode, CLINT8 *errorText, CLUINT32 *errorTextSize,
                                      const CLUINT32 Cookie);
QN_CLP_EXPORT CLINT32 clpDisconnect(const CLUINT32 Cookie);
QN_CLP_EXPORT CLINT32 clpGetCLProtocolVersion(CLUINT32 *pVersionMajor, CLUINT32 *pVersionMinor);
QN_CLP_EXPORT CLINT32 clpGetParam(ISerial *pSerial, CLINT32 param, const CLUINT32 Cookie, CLINT8 *pBuffer,
                                  const CLINT64 BufferSize, const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpSetParam(ISerial *pSerial, CLINT32 param, const CLUINT32 Cookie, const CLINT8 *pBuffer,
                                  const CLINT64 BufferSize, const CLUINT32 TimeOut);
QN_CLP_EXPORT CLINT32 clpIsParamSupported(CLINT32 param);
QN_CLP_EXPORT CLINT32 clpGetEventData(const CLUINT32 Cookie, CLINT8 *pBuffer, CLUINT32 *pBufferSize);

} // extern "C"
