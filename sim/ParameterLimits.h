#pragma once

#include <array>
#include <cstdint>

#include "CameraState.h"
#include "core/protocol/CommandTable.h"

// What the camera accepts for one command's integer value and what it holds at power-on.
// stored: the value belongs to the parameter set that the flash areas keep.
struct ParameterSpec {
    std::int64_t minimum;
    std::int64_t maximum;
    std::int64_t initial;
    bool stored;
};

using ParameterSpecs = std::array<ParameterSpec, kCommandCount>;

// Built from the shared control table (limits and initial values), the chromatic aberration
// families (limits of the controls that edit them) and a few ranges of the camera's own.
const ParameterSpecs &CameraParameterSpecs();

// A camera as it leaves the factory: lines at 10 kHz (a period of 100 us) and a 50 us
// exposure, where the bare power-on set holds zeros.
void ApplyShippedValues(ParameterSet &values);
