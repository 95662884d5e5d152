#pragma once

#include <cstdint>

#include "gui/main/BindingServices.h"
#include "gui/main/GainAutoRules.h"

// Keeps the gain-auto percentage field and its two level fields consistent. Only the
// percentage is a camera parameter; the levels are shown and kept beside it.
class GainAutoControls {
public:
    static constexpr int kPercentId = 1665;
    static constexpr int kLevel10Id = 1669;
    static constexpr int kLevel8Id = 1671;

    explicit GainAutoControls(const BindingServices &services) : services_(services) {}

    static bool IsLevelField(int controlId) { return controlId == kLevel10Id || controlId == kLevel8Id; }

    // The levels follow the percentage row; nothing is sent.
    void ApplyPercentage();
    // A level field changed to `level`: the percentage follows and is written to the camera.
    // False when the camera refused it and the fields went back to their saved values.
    bool ApplyLevel(int levelFieldId, std::int32_t level);

    const GainAutoLevels &Levels() const { return levels_; }

private:
    void storeLevels(const GainAutoLevels &levels);

    const BindingServices &services_;
    GainAutoLevels levels_;
};
