#include "clprotocol/Probe.h"

#include <vector>

#include "clprotocol/Connection.h"
#include "clprotocol/LineExchange.h"
#include "core/genicam/RegisterKinds.h"

namespace {

constexpr int kWakeUpBytes = 14;
constexpr int kProbeRateIndex = 0; // 9600 bit/s, the slowest of the camera's rates

std::vector<std::string_view> tokens(std::string_view text)
{
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t hash = text.find('#', start);
        out.push_back(text.substr(start, hash == std::string_view::npos ? std::string_view::npos : hash - start));
        if (hash == std::string_view::npos)
            return out;
        start = hash + 1;
    }
}

std::string deviceIdOf(std::int32_t modelCode, const std::string &model, const std::string &version,
                       const std::string &serialNumber)
{
    const RegisterMap::Identity &identity = RegisterMap::DeviceIdentity();
    std::string id = std::string(identity.vendor) + '#' + identity.family + '#' +
                     DeviceToken(modelCode <= 1 ? identity.modelNames[modelCode] : model);
    if (!version.empty()) {
        id += '#' + DeviceToken(version);
        if (!serialNumber.empty())
            id += '#' + DeviceToken(serialNumber);
    }
    return id;
}

} // namespace

std::string DeviceToken(std::string_view text)
{
    std::string token;
    for (const char c : text) {
        const bool name = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        token += name ? c : '_';
    }
    if (token.empty() || (token.front() >= '0' && token.front() <= '9'))
        token.insert(token.begin(), '_');
    return token;
}

DeviceTemplate ParseDeviceTemplate(std::string_view text)
{
    const RegisterMap::Identity &identity = RegisterMap::DeviceIdentity();
    const std::vector<std::string_view> parts = tokens(text);
    DeviceTemplate wanted;
    // A long template starts with the library's folder and file name.
    for (std::size_t vendor = 0; vendor < parts.size(); ++vendor) {
        if (parts[vendor] != identity.vendor)
            continue;
        const std::size_t family = vendor + 1;
        if (family < parts.size() && parts[family] != identity.family)
            return wanted;
        if (family + 1 < parts.size())
            wanted.model = parts[family + 1];
        if (family + 2 < parts.size())
            wanted.version = parts[family + 2];
        if (family + 3 < parts.size())
            wanted.serial = parts[family + 3];
        wanted.valid = true;
        return wanted;
    }
    return wanted;
}

std::string ShortDeviceTemplates()
{
    const RegisterMap::Identity &identity = RegisterMap::DeviceIdentity();
    const std::string family = std::string(identity.vendor) + '#' + identity.family;
    std::string list = family;
    for (const char *model : identity.modelNames)
        list += '\t' + family + '#' + DeviceToken(model);
    return list;
}

std::optional<ProbeResult> ProbeCamera(ISerial &serial, const DeviceTemplate &wanted, CLUINT32 timeoutMs,
                                       const std::atomic<bool> &stop)
{
    const RegisterMap::WireCommands &wire = RegisterMap::Commands();
    const CLUINT32 usable = Connection::SupportedRateCodes(serial);
    LineExchange line;
    const auto askAt = [&](int rateIndex) -> std::optional<std::string> {
        if (serial.clSetBaudRate(wire.rates[rateIndex]) != clserial::kNoError)
            return std::nullopt;
        const LineExchange::Reply reply = line.Query(serial, wire.model, timeoutMs);
        if (reply.outcome != LineExchange::Outcome::Answered)
            return std::nullopt;
        return reply.text;
    };

    int answeredAt = kProbeRateIndex;
    std::optional<std::string> model = askAt(kProbeRateIndex);
    if (!model) {
        const int top = static_cast<int>(std::size(wire.rates)) - 1;
        for (int rate = top; rate >= 0 && !stop; --rate) {
            if ((usable & static_cast<CLUINT32>(wire.rateCodes[rate])) && serial.clSetBaudRate(wire.rates[rate]) == 0)
                line.WriteBytes(serial, std::string(kWakeUpBytes, '\0'), timeoutMs);
        }
        for (int rate = top; rate >= 0 && !model && !stop; --rate) {
            if (usable & static_cast<CLUINT32>(wire.rateCodes[rate])) {
                model = askAt(rate);
                answeredAt = rate;
            }
        }
    }
    if (!model || stop)
        return std::nullopt;

    ProbeResult found;
    found.rateCode = static_cast<CLUINT32>(wire.rateCodes[answeredAt]);
    for (std::int32_t code = 0; code < 2; ++code) {
        if (*model == RegisterMap::DeviceIdentity().modelNames[code])
            found.modelCode = code;
    }
    if (!wanted.model.empty() && wanted.model != DeviceToken(*model))
        return std::nullopt;
    // The version and the serial number complete the id; a camera that keeps them leaves them out.
    std::string version;
    std::string serialNumber;
    const auto text = [&](const char *name) {
        for (const RegisterMap::Entry &entry : RegisterMap::Entries()) {
            if (std::string_view(entry.name) == name) {
                const LineExchange::Reply reply = line.Query(serial, entry.mnemonic, timeoutMs);
                return reply.outcome == LineExchange::Outcome::Answered ? reply.text : std::string();
            }
        }
        return std::string();
    };
    version = text("DeviceFirmwareVersion");
    if (!version.empty())
        serialNumber = text("DeviceSerialNumber");
    // A reconnect with a whole device id: the same camera, or none.
    if ((!wanted.version.empty() && wanted.version != DeviceToken(version)) ||
        (!wanted.serial.empty() && wanted.serial != DeviceToken(serialNumber)))
        return std::nullopt;
    found.deviceId = deviceIdOf(found.modelCode, *model, version, serialNumber);
    return found;
}
