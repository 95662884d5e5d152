#pragma once

#include <functional>

#include "core/formats/LutCurve.h"

class Command;

// One channel's look-up table over the command protocol, entry by entry: the entry's index,
// then its value. Channels: 0 red, 1 green, 2 blue.
inline constexpr unsigned kLutExchangeTimeoutMs = 1000;

struct LutChannelCommands {
    int indexCommand;
    int valueCommand;
};
// The index and value commands of a channel (clamped to 0..2).
const LutChannelCommands &LutCommandsOf(int channel);

// Reads the entries into the table; values above the largest are kept as the largest. Stops
// at the first entry whose value does not come; entries from there on keep their values. The
// step is told each entry done (1-based). Returns the number of entries read.
int ReadLutEntries(Command &command, int channel, LutTable &table, const std::function<void(int done)> &step);

// Writes the entries. An error text from the camera is reported by the engine and the next
// entry follows; a camera that does not answer at all ends the transfer. Returns 0 when every
// entry was written, else the entry (1-based) at which the camera stopped answering.
int WriteLutEntries(Command &command, int channel, const LutTable &table, const std::function<void(int done)> &step);
