#pragma once

#include <cstdint>
#include <functional>

#include "core/formats/ShadingFile.h"

class Command;
class Dialogs;

// The shading correction tables over the command protocol, value by value: select a channel
// ("SDDS"), then for each value its index ("SDDI") and the value itself ("SDD"). Both front
// ends move the tables with these; the windows add the progress window and the file dialogs.
enum class ShadingDirection { Read, Write };

inline constexpr std::uint32_t kShadingChannelSelectMs = 3000;
inline constexpr std::uint32_t kShadingValueMs = 1000;
inline constexpr std::uint32_t kShadingFinishMs = 5000; // taking the tables into use, storing them

// How much of the tables a transfer moves; the whole tables unless a test says otherwise.
struct ShadingShape {
    int channels = kShadingChannels;
    int valuesPerChannel = kShadingValues;
};

// Whether the camera's shading mode ("SDM") is on; a mode of 0 is reported in the "Shading
// Mode is OFF" box. False also when the camera did not answer.
bool ShadingModeOn(Command &command, Dialogs &dialogs);

// Moves the tables. A refused value keeps its place and the transfer goes on; the first
// exchange without any answer ends it. The step is told each value done (1-based, of
// channels x values). Returns 0 when every value was moved, else the value at which the
// camera stopped answering.
int ExchangeShading(Command &command, ShadingTable &table, ShadingDirection direction, ShadingShape shape,
                    const std::function<void(int done, int total)> &step);

// After a complete write, the camera takes the written tables into use ("SDDU").
bool FinishShadingWrite(Command &command);
// Keeps the camera's tables in its flash memory ("SDDA").
bool StoreShadingTables(Command &command);
