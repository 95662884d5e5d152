#include "python/ProgressRelay.h"

namespace py = pybind11;

ProgressRelay::~ProgressRelay() = default;

void ProgressRelay::operator()(int done, int total)
{
    if (callable_.is_none() || error_ || done <= lastDone_)
        return;
    lastDone_ = done;
    const py::gil_scoped_acquire gil;
    try {
        callable_(done, total);
    } catch (py::error_already_set &error) {
        error_.emplace(std::move(error));
    }
}

void ProgressRelay::RaiseIfFailed()
{
    if (!error_)
        return;
    py::error_already_set error = std::move(*error_);
    error_.reset();
    throw error;
}
