#include "clprotocol/Connection.h"

#include <algorithm>
#include <cstring>

#include "core/protocol/WireText.h"

namespace {

using RegisterMap::Kind;
using RegisterMap::Slot;

void putInt(CLINT8 *buffer, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        buffer[i] = static_cast<CLINT8>((bits >> (8 * i)) & 0xFFu);
}

std::int32_t getInt(const CLINT8 *buffer)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(buffer[i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

bool withinLimits(const RegisterMap::Entry &entry, std::int32_t value)
{
    if (!entry.codes.empty())
        return std::find(entry.codes.begin(), entry.codes.end(), value) != entry.codes.end();
    return value >= entry.minimum && value <= entry.maximum;
}

} // namespace

const RegisterMap::Entry *FindRegister(CLINT64 address)
{
    for (const RegisterMap::Entry &entry : RegisterMap::Entries()) {
        if (entry.address == address)
            return &entry;
    }
    return nullptr;
}

Connection::Connection(std::int32_t modelCode, CLUINT32 rateCode, std::string deviceId)
    : modelCode_(modelCode), rateCode_(rateCode), deviceId_(std::move(deviceId))
{
    slot(Slot::ShadingIndex) = 1;
}

CLINT32 Connection::outcome(const LineExchange::Reply &reply, const char *mnemonic)
{
    switch (reply.outcome) {
    case LineExchange::Outcome::Answered:
        return clprotocol::kNoError;
    case LineExchange::Outcome::NoAnswer:
    case LineExchange::Outcome::WriteFailed:
        lastError_ = std::string("no answer to ") + mnemonic;
        return clserial::kTimeout;
    case LineExchange::Outcome::Refused:
        lastError_ = reply.text;
        return clprotocol::kCameraRefused;
    case LineExchange::Outcome::Unexpected:
        lastError_ = reply.text + " for " + mnemonic + "?";
        return clprotocol::kUnexpectedReply;
    }
    return clprotocol::kUnexpectedReply;
}

CLINT32 Connection::set(ISerial &serial, const char *mnemonic, std::int32_t value, CLUINT32 timeoutMs)
{
    return outcome(line_.Set(serial, mnemonic, std::to_string(value), timeoutMs), mnemonic);
}

CLINT32 Connection::query(ISerial &serial, const char *mnemonic, std::int32_t &value, CLUINT32 timeoutMs)
{
    const LineExchange::Reply reply = line_.Query(serial, mnemonic, timeoutMs);
    if (reply.outcome == LineExchange::Outcome::Answered)
        value = WireText::ParseIntegerValue(reply.text);
    return outcome(reply, mnemonic);
}

CLINT32 Connection::checkAvailable(const RegisterMap::Entry &entry)
{
    const bool lacked = modelCode_ >= 0 && modelCode_ < 8 && (entry.lackedBy & (1u << modelCode_));
    if (lacked || (entry.extendedOnly && slot(Slot::ControlMode) == 0)) {
        lastError_ = std::string(entry.name) + (lacked ? ": the camera's model lacks it" : ": extended control mode only");
        return clprotocol::kNotAvailable;
    }
    return clprotocol::kNoError;
}

CLINT32 Connection::Read(ISerial &serial, CLINT64 address, CLINT8 *buffer, CLINT64 size, CLUINT32 timeoutMs)
{
    const RegisterMap::Entry *entry = FindRegister(address);
    if (!entry || size != entry->length) {
        lastError_ = "no register of that length at that address";
        return clprotocol::kNoSuchRegister;
    }
    if (pending_) {
        lastError_ = "a pending write must be continued first";
        return clprotocol::kNotAccessible;
    }
    if (!entry->readable) {
        // A command reads as done: GenApi hosts ask whether it has finished.
        putInt(buffer, 0);
        return clprotocol::kNoError;
    }
    if (const CLINT32 available = checkAvailable(*entry); available != clprotocol::kNoError)
        return available;
    return readEntry(serial, *entry, buffer, timeoutMs);
}

CLINT32 Connection::readEntry(ISerial &serial, const RegisterMap::Entry &entry, CLINT8 *buffer, CLUINT32 timeoutMs)
{
    const RegisterMap::WireCommands &wire = RegisterMap::Commands();
    std::int32_t value = 0;
    CLINT32 result = clprotocol::kNoError;
    switch (entry.kind) {
    case Kind::Text: {
        const LineExchange::Reply reply = line_.Query(serial, entry.mnemonic, timeoutMs);
        result = outcome(reply, entry.mnemonic);
        if (result == clprotocol::kNoError) {
            std::memset(buffer, 0, entry.length);
            std::memcpy(buffer, reply.text.data(), std::min<std::size_t>(reply.text.size(), entry.length));
        }
        return result;
    }
    case Kind::Value:
        result = query(serial, entry.mnemonic, value, timeoutMs);
        break;
    case Kind::Local:
        value = slot(entry.slot);
        break;
    case Kind::LutValue: {
        const std::int32_t channel = slot(Slot::LutSelector);
        result = set(serial, wire.lutIndex[channel], slot(Slot::LutIndex), timeoutMs);
        if (result == clprotocol::kNoError)
            result = query(serial, wire.lutValue[channel], value, timeoutMs);
        break;
    }
    case Kind::ShadingValue: {
        const std::int32_t channel = slot(Slot::ShadingSelector);
        if (shadingChannelSent_ != channel) {
            result = set(serial, wire.shadingChannel, channel, std::max(timeoutMs, wire.channelSelectLimitMs));
            shadingChannelSent_ = result == clprotocol::kNoError ? std::optional(channel) : std::nullopt;
        }
        if (result == clprotocol::kNoError)
            result = set(serial, wire.shadingIndex, slot(Slot::ShadingIndex), timeoutMs);
        if (result == clprotocol::kNoError)
            result = query(serial, wire.shadingValue, value, timeoutMs);
        break;
    }
    case Kind::BaudRate:
        value = static_cast<std::int32_t>(rateCode_);
        break;
    case Kind::ModelCode:
        value = modelCode_;
        break;
    case Kind::Procedure:
    case Kind::UserSetLoad:
    case Kind::UserSetSave:
        value = 0;
        break;
    }
    if (result == clprotocol::kNoError)
        putInt(buffer, value);
    return result;
}

CLINT32 Connection::Write(ISerial &serial, CLINT64 address, const CLINT8 *buffer, CLINT64 size, CLUINT32 timeoutMs)
{
    const RegisterMap::Entry *entry = FindRegister(address);
    if (!entry || size <= 0 || size > entry->length || (entry->kind != Kind::Text && size != entry->length)) {
        lastError_ = "no register of that length at that address";
        return clprotocol::kNoSuchRegister;
    }
    if (pending_) {
        lastError_ = "a pending write must be continued first";
        return clprotocol::kNotAccessible;
    }
    if (!entry->writable) {
        lastError_ = std::string(entry->name) + " is read-only";
        return clprotocol::kNotAccessible;
    }
    if (const CLINT32 available = checkAvailable(*entry); available != clprotocol::kNoError)
        return available;
    if (entry->kind == Kind::Text)
        return writeText(serial, *entry, buffer, size, timeoutMs);
    return writeValue(serial, *entry, getInt(buffer), timeoutMs);
}

CLINT32 Connection::writeText(ISerial &serial, const RegisterMap::Entry &entry, const CLINT8 *buffer, CLINT64 size,
                              CLUINT32 timeoutMs)
{
    // The register is zero-padded: its text ends at the first zero byte.
    const std::string_view bytes(buffer, static_cast<std::size_t>(size));
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    if (WireText::CheckLineText(text, static_cast<int>(entry.length)) != WireText::TextCheck::Ok) {
        lastError_ = std::string(entry.name) + ": a line break cannot travel inside one command line";
        return clprotocol::kTextNotSendable;
    }
    if (entry.writeExtendedOnly && slot(Slot::ControlMode) == 0) {
        lastError_ = std::string(entry.name) + ": written in the extended control mode only";
        return clprotocol::kNotAvailable;
    }
    // The unlock goes only after the text was found sendable: a refused text leaves the camera locked.
    if (entry.unlockValue != 0) {
        if (const CLINT32 unlocked = set(serial, RegisterMap::Commands().unlock, entry.unlockValue, timeoutMs);
            unlocked != clprotocol::kNoError)
            return unlocked;
    }
    const char *mnemonic = *entry.writeMnemonic ? entry.writeMnemonic : entry.mnemonic;
    return outcome(line_.Set(serial, mnemonic, text, timeoutMs), mnemonic);
}

CLINT32 Connection::writeValue(ISerial &serial, const RegisterMap::Entry &entry, std::int32_t value, CLUINT32 timeoutMs)
{
    const RegisterMap::WireCommands &wire = RegisterMap::Commands();
    const bool takesValue = entry.kind == Kind::Value || entry.kind == Kind::Local || entry.kind == Kind::LutValue ||
                            entry.kind == Kind::ShadingValue || entry.kind == Kind::BaudRate;
    if (takesValue && !withinLimits(entry, value)) {
        lastError_ = std::string(entry.name) + "=" + std::to_string(value) + ": outside its limits; nothing was sent";
        return clprotocol::kOutOfRange;
    }
    switch (entry.kind) {
    case Kind::Value:
        return set(serial, entry.mnemonic, value, timeoutMs);
    case Kind::Local:
        slot(entry.slot) = value;
        return clprotocol::kNoError;
    case Kind::LutValue: {
        const std::int32_t channel = slot(Slot::LutSelector);
        // An index the camera did not take would put the value into another entry.
        const CLINT32 result = set(serial, wire.lutIndex[channel], slot(Slot::LutIndex), timeoutMs);
        return result == clprotocol::kNoError ? set(serial, wire.lutValue[channel], value, timeoutMs) : result;
    }
    case Kind::ShadingValue: {
        const std::int32_t channel = slot(Slot::ShadingSelector);
        CLINT32 result = clprotocol::kNoError;
        if (shadingChannelSent_ != channel) {
            result = set(serial, wire.shadingChannel, channel, std::max(timeoutMs, wire.channelSelectLimitMs));
            shadingChannelSent_ = result == clprotocol::kNoError ? std::optional(channel) : std::nullopt;
        }
        if (result == clprotocol::kNoError)
            result = set(serial, wire.shadingIndex, slot(Slot::ShadingIndex), timeoutMs);
        return result == clprotocol::kNoError ? set(serial, wire.shadingValue, value, timeoutMs) : result;
    }
    case Kind::Procedure:
        return startLong(serial, entry, entry.mnemonic, entry.startValue, timeoutMs);
    case Kind::UserSetLoad:
        return startLong(serial, entry, wire.loadArea, slot(Slot::UserSetSelector), timeoutMs);
    case Kind::UserSetSave: {
        const std::int32_t area = slot(Slot::UserSetSelector);
        if (area != wire.factoryArea)
            return startLong(serial, entry, wire.storeArea, area, timeoutMs);
        // The factory settings are stored only in the extended control mode, as "Store All".
        if (slot(Slot::ControlMode) == 0) {
            lastError_ = "storing the Default set needs the extended control mode";
            return clprotocol::kNotAvailable;
        }
        return startLong(serial, entry, wire.storeFactoryArea, 0, timeoutMs);
    }
    case Kind::BaudRate:
        return MoveRate(serial, static_cast<CLUINT32>(value));
    case Kind::Text:
    case Kind::ModelCode:
        break;
    }
    lastError_ = std::string(entry.name) + " is read-only";
    return clprotocol::kNotAccessible;
}

CLINT32 Connection::startLong(ISerial &serial, const RegisterMap::Entry &entry, const char *mnemonic,
                              std::int32_t value, CLUINT32 timeoutMs)
{
    if (!entry.pending || timeoutMs >= entry.writeLimitMs)
        return set(serial, mnemonic, value, std::max(timeoutMs, entry.writeLimitMs));
    if (!line_.SendOnly(serial, mnemonic, std::to_string(value), timeoutMs))
        return outcome({LineExchange::Outcome::WriteFailed, {}}, mnemonic);
    pending_ = Pending{&entry, std::chrono::steady_clock::now() + std::chrono::milliseconds(entry.writeLimitMs)};
    return ContinueWrite(serial, true, timeoutMs);
}

CLINT32 Connection::ContinueWrite(ISerial &serial, bool continueWaiting, CLUINT32 timeoutMs)
{
    if (!pending_) {
        lastError_ = "no write is pending";
        return clprotocol::kNotAccessible;
    }
    const Pending pending = *pending_;
    if (!continueWaiting) {
        // The camera finishes what it started; its acknowledgement is drained before the next line.
        pending_.reset();
        line_.Abandon();
        return clprotocol::kNoError;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(pending.deadline - std::chrono::steady_clock::now());
    const CLUINT32 wait = static_cast<CLUINT32>(std::clamp<std::int64_t>(left.count(), 0, timeoutMs));
    const LineExchange::Reply reply = line_.AwaitAcknowledgement(serial, wait);
    if (reply.outcome == LineExchange::Outcome::NoAnswer && std::chrono::steady_clock::now() < pending.deadline)
        return clprotocol::kPendingWrite;
    pending_.reset();
    if (reply.outcome == LineExchange::Outcome::NoAnswer)
        line_.Abandon();
    return outcome(reply, pending.entry->name);
}

CLUINT32 Connection::SupportedRateCodes(ISerial &serial)
{
    CLUINT32 host = 0;
    if (serial.clGetSupportedBaudRates(&host) != clserial::kNoError)
        host = 0;
    CLUINT32 camera = 0;
    for (const std::int32_t code : RegisterMap::Commands().rateCodes)
        camera |= static_cast<CLUINT32>(code);
    return host & camera;
}

CLINT32 Connection::MoveRate(ISerial &serial, CLUINT32 code)
{
    const RegisterMap::WireCommands &wire = RegisterMap::Commands();
    if (code == rateCode_)
        return clprotocol::kNoError;
    const auto *rate = std::find(std::begin(wire.rateCodes), std::end(wire.rateCodes), static_cast<std::int32_t>(code));
    if (rate == std::end(wire.rateCodes) || !(SupportedRateCodes(serial) & code)) {
        lastError_ = "the camera or the host's port cannot take that rate";
        return clserial::kBaudRateNotSupported;
    }
    const CLUINT32 newRate = wire.rates[rate - std::begin(wire.rateCodes)];
    const CLUINT32 oldCode = rateCode_;
    const auto *old = std::find(std::begin(wire.rateCodes), std::end(wire.rateCodes), static_cast<std::int32_t>(oldCode));
    // As the tool moves it: ask the camera at the old rate, follow it, confirm at the new one,
    // and go back when the confirmation fails.
    if (const CLINT32 result = set(serial, wire.baudRate, static_cast<std::int32_t>(code), wire.setLimitMs);
        result != clprotocol::kNoError)
        return result;
    if (serial.clSetBaudRate(newRate) != clserial::kNoError) {
        lastError_ = "the host's port did not take the new rate";
        return clserial::kBaudRateNotSupported;
    }
    const CLINT32 confirmed = set(serial, wire.baudRate, static_cast<std::int32_t>(code), wire.setLimitMs);
    if (confirmed == clprotocol::kNoError) {
        rateCode_ = code;
        return clprotocol::kNoError;
    }
    if (old != std::end(wire.rateCodes))
        serial.clSetBaudRate(wire.rates[old - std::begin(wire.rateCodes)]);
    return confirmed;
}
