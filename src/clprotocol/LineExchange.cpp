#include "clprotocol/LineExchange.h"

#include <chrono>

#include "core/protocol/WireText.h"

namespace {

using Clock = std::chrono::steady_clock;

// As the command engine: a line longer than its buffer is no reply.
constexpr std::size_t kLineLimit = 1024;
// What a late reply may still take to trickle in once its exchange was given up.
constexpr std::uint32_t kDrainQuietMs = 20;

std::uint32_t msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

} // namespace

bool LineExchange::WriteBytes(ISerial &serial, std::string_view bytes, std::uint32_t timeoutMs)
{
    std::string copy(bytes);
    CLUINT32 size = static_cast<CLUINT32>(copy.size());
    return serial.clSerialWrite(copy.data(), &size, timeoutMs) == clserial::kNoError && size == copy.size();
}

bool LineExchange::sendLine(ISerial &serial, const std::string &line, std::uint32_t timeoutMs)
{
    if (stale_)
        drain(serial);
    partial_.clear();
    return WriteBytes(serial, line + std::string(WireText::kLineEnd), timeoutMs);
}

bool LineExchange::readLine(ISerial &serial, std::string &line, std::uint32_t timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        CLINT8 byte = 0;
        CLUINT32 size = 1;
        if (serial.clSerialRead(&byte, &size, msLeft(deadline)) != clserial::kNoError || size != 1) {
            if (Clock::now() >= deadline)
                return false;
            continue;
        }
        if (byte == '\n') {
            line = partial_;
            partial_.clear();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        partial_ += byte;
        if (partial_.size() >= kLineLimit)
            partial_.clear();
    }
}

void LineExchange::drain(ISerial &serial)
{
    CLINT8 byte = 0;
    CLUINT32 size = 1;
    while (serial.clSerialRead(&byte, &size, kDrainQuietMs) == clserial::kNoError && size == 1)
        size = 1;
    partial_.clear();
    stale_ = false;
}

bool LineExchange::SendOnly(ISerial &serial, std::string_view mnemonic, std::string_view value, std::uint32_t timeoutMs)
{
    return sendLine(serial, WireText::SetLine(mnemonic, value), timeoutMs);
}

LineExchange::Reply LineExchange::AwaitAcknowledgement(ISerial &serial, std::uint32_t timeoutMs)
{
    Reply reply;
    std::string line;
    if (!readLine(serial, line, timeoutMs)) {
        reply.outcome = Outcome::NoAnswer;
        return reply;
    }
    reply.outcome = WireText::IsAcknowledgement(line) ? Outcome::Answered : Outcome::Refused;
    reply.text = line;
    return reply;
}

LineExchange::Reply LineExchange::Set(ISerial &serial, std::string_view mnemonic, std::string_view value,
                                      std::uint32_t timeoutMs)
{
    if (!SendOnly(serial, mnemonic, value, timeoutMs))
        return {Outcome::WriteFailed, {}};
    Reply reply = AwaitAcknowledgement(serial, timeoutMs);
    if (reply.outcome == Outcome::NoAnswer)
        stale_ = true;
    return reply;
}

LineExchange::Reply LineExchange::Query(ISerial &serial, std::string_view mnemonic, std::uint32_t timeoutMs)
{
    if (!sendLine(serial, WireText::QueryLine(mnemonic), timeoutMs))
        return {Outcome::WriteFailed, {}};
    std::string line;
    if (!readLine(serial, line, timeoutMs)) {
        stale_ = true;
        return {Outcome::NoAnswer, {}};
    }
    Reply reply;
    if (WireText::ReplyValue(line, mnemonic, reply.text)) {
        reply.outcome = Outcome::Answered;
    } else {
        reply.outcome = Outcome::Unexpected;
        reply.text = line;
    }
    return reply;
}
