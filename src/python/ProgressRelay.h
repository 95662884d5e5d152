#pragma once

#include <optional>

#include <pybind11/pybind11.h>

// Hands a long operation's progress to the caller's Python callable as (done, total), only
// when it has risen, taking the interpreter lock for the call alone. An exception the callable
// raises is kept and raised once the operation has returned; the operation itself runs on.
class ProgressRelay final {
public:
    explicit ProgressRelay(pybind11::object callable) : callable_(std::move(callable)) {}
    ~ProgressRelay();
    ProgressRelay(const ProgressRelay &) = delete;
    ProgressRelay &operator=(const ProgressRelay &) = delete;

    // Called by the core, without the interpreter lock.
    void operator()(int done, int total);
    // With the lock held: raises what the callable raised, if it did.
    void RaiseIfFailed();

private:
    pybind11::object callable_;
    std::optional<pybind11::error_already_set> error_;
    long long lastDone_ = -1;
};
