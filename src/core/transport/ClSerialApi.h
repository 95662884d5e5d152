#pragma once

#include <cstdint>

// Our own declarations of the published Camera Link serial API: the types, result codes,
// baud-rate bits and the signatures of the entry points the transports look up at run time.
namespace clserial {

using hSerRef = void *;
using CLINT32 = int;
using CLUINT32 = unsigned int;
using CLINT8 = char;

enum Result : CLINT32 {
    kNoError = 0,
    kBufferTooSmall = -10001,
    kManuDoesNotExist = -10002,
    kPortInUse = -10003,
    kTimeout = -10004,
    kInvalidIndex = -10005,
    kInvalidReference = -10006,
    kErrorNotFound = -10007,
    kBaudRateNotSupported = -10008,
    kOutOfMemory = -10009,
    kUnableToLoadDll = -10098,
    kFunctionNotFound = -10099,
};

// The standard's bit for a rate; 0 for a rate it has no bit for.
constexpr CLUINT32 BaudBit(int bitsPerSecond)
{
    switch (bitsPerSecond) {
    case 9600: return 1;
    case 19200: return 2;
    case 38400: return 4;
    case 57600: return 8;
    case 115200: return 16;
    case 230400: return 32;
    case 460800: return 64;
    case 921600: return 128;
    default: return 0;
    }
}

extern "C" {
using SerialInitFn = CLINT32 (*)(CLUINT32 serialIndex, hSerRef *serialRefPtr);
using SerialReadFn = CLINT32 (*)(hSerRef ref, CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 timeoutMs);
using SerialWriteFn = CLINT32 (*)(hSerRef ref, CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 timeoutMs);
using SerialCloseFn = void (*)(hSerRef ref);
using SetBaudRateFn = CLINT32 (*)(hSerRef ref, CLUINT32 baudRate);
using GetSupportedBaudRatesFn = CLINT32 (*)(hSerRef ref, CLUINT32 *baudRates);
using GetNumBytesAvailFn = CLINT32 (*)(hSerRef ref, CLUINT32 *numBytes);
using FlushPortFn = CLINT32 (*)(hSerRef ref);
using GetErrorTextFn = CLINT32 (*)(const CLINT8 *manuName, CLINT32 errorCode, CLINT8 *text, CLUINT32 *textSize);
using GetNumPortsFn = CLINT32 (*)(CLUINT32 *numPorts);
using GetPortInfoFn = CLINT32 (*)(CLUINT32 serialIndex, CLINT8 *manufacturerName, CLUINT32 *nameBytes,
                                  CLINT8 *portID, CLUINT32 *idBytes, CLUINT32 *version);
using GetNumSerialPortsFn = CLINT32 (*)(CLUINT32 *numSerialPorts);
using GetSerialPortIdentifierFn = CLINT32 (*)(CLUINT32 serialIndex, CLINT8 *portID, CLUINT32 *bufferSize);
using GetNumManufacturersFn = CLINT32 (*)(CLUINT32 *count);
using GetManufacturerFn = CLINT32 (*)(CLUINT32 index, CLINT8 *name, CLUINT32 *bufferSize, CLUINT32 *version);
using SelectManufacturerFn = CLINT32 (*)(const CLINT8 *name);
}

} // namespace clserial
