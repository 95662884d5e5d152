#include "clprotocol/ErrorTexts.h"

namespace {

struct CodeText {
    CLINT32 code;
    const char *text;
};

constexpr CodeText kTexts[] = {
    {clprotocol::kNoError, "No error"},
    {clserial::kBufferTooSmall, "The buffer is too small"},
    {clserial::kTimeout, "The camera did not answer in time"},
    {clserial::kInvalidReference, "Invalid serial reference"},
    {clserial::kErrorNotFound, "No text for this error code"},
    {clserial::kBaudRateNotSupported, "The camera or the host's port cannot take this baud rate"},
    {clprotocol::kInvalidPointer, "A pointer argument is null"},
    {clprotocol::kPendingWrite, "The write is still pending: continue it"},
    {clprotocol::kInvalidDeviceId, "The device id is not one of this library's"},
    {clprotocol::kNoDeviceFound, "No camera of the device id answered"},
    {clprotocol::kNoXmlDescriptionFound, "No XML description has this XML id"},
    {clprotocol::kInvalidCookie, "The cookie names no connection"},
    {clprotocol::kParamNotSupported, "The parameter is not supported"},
    {clprotocol::kParamReadOnly, "The parameter is read-only"},
    {clprotocol::kParamDataSize, "The parameter's buffer has the wrong size"},
    {clprotocol::kParamDataValue, "The parameter's value is not valid"},
    {clprotocol::kNoSuchRegister, "No register of that length at that address"},
    {clprotocol::kNotAccessible, "The register cannot be accessed that way now"},
    {clprotocol::kOutOfRange, "The value is outside the register's limits; nothing was sent"},
    {clprotocol::kCameraRefused, "The camera refused the command"},
    {clprotocol::kUnexpectedReply, "The camera's reply does not answer the query"},
    {clprotocol::kNotAvailable, "Not available on this model or in this control mode"},
    {clprotocol::kTextNotSendable, "The text cannot travel inside one command line"},
};

} // namespace

const char *ErrorText(CLINT32 code)
{
    for (const CodeText &entry : kTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return nullptr;
}
