#pragma once

#include <cstdint>

class SettingsStore;

// The control mode: 0 standard, 1 extended. Read at creation, written back at destruction.
class ControlModeSetting {
public:
    explicit ControlModeSetting(const SettingsStore &store);
    ~ControlModeSetting();
    ControlModeSetting(const ControlModeSetting &) = delete;
    ControlModeSetting &operator=(const ControlModeSetting &) = delete;

    std::int32_t Get() const { return mode_; }
    void Set(std::int32_t mode) { mode_ = mode; }
    bool IsExtended() const { return mode_ != 0; }
    // 0 becomes 1, anything else becomes 0.
    void Toggle() { mode_ = mode_ == 0 ? 1 : 0; }

private:
    const SettingsStore &store_;
    std::int32_t mode_ = 0;
};
