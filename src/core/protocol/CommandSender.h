#pragma once

#include <cstdint>

// The one exchange that the control table needs of the command engine.
class CommandSender {
public:
    virtual ~CommandSender() = default;
    virtual bool SetValue(int commandId, std::int32_t value, std::uint32_t timeoutMs) = 0;
};
