#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "clprotocol/ClProtocolApi.h"

// One exchange with the camera over the host's serial port: a command line out, one reply
// line back, taken as soon as its line feed has arrived (no pacing). A reply that comes too
// late would answer the next exchange, so after a time-out the next exchange first drains the
// line.
class LineExchange {
public:
    enum class Outcome { Answered, NoAnswer, Refused, Unexpected, WriteFailed };

    struct Reply {
        Outcome outcome = Outcome::NoAnswer;
        std::string text; // the value of a query; the camera's line when refused or unexpected
    };

    // "MN=value": answered when the camera acknowledges with COMPLETE.
    Reply Set(ISerial &serial, std::string_view mnemonic, std::string_view value, std::uint32_t timeoutMs);
    // "MN?": the value of the camera's "MN=value" reply.
    Reply Query(ISerial &serial, std::string_view mnemonic, std::uint32_t timeoutMs);

    // The set's line has gone out but its acknowledgement is still awaited (a procedure that
    // outlasts one host time-out): send now, and wait for the answer in parts.
    bool SendOnly(ISerial &serial, std::string_view mnemonic, std::string_view value, std::uint32_t timeoutMs);
    Reply AwaitAcknowledgement(ISerial &serial, std::uint32_t timeoutMs);
    // An abandoned exchange: its late answer is drained before the next one.
    void Abandon() { stale_ = true; }

    // Bytes straight to the line (the wake-up burst).
    bool WriteBytes(ISerial &serial, std::string_view bytes, std::uint32_t timeoutMs);

private:
    bool sendLine(ISerial &serial, const std::string &line, std::uint32_t timeoutMs);
    // The next line, without its CR LF; false when none completed within the time.
    bool readLine(ISerial &serial, std::string &line, std::uint32_t timeoutMs);
    void drain(ISerial &serial);

    std::string partial_;
    bool stale_ = false;
};
