#pragma once

#include <optional>

#include <termios.h>

// The termios side of the COM port: the supported rates and the line format we use
// (raw bytes, 8 data bits, no parity, one stop bit, no flow control).

// The B-constant of a rate in bit/s, nothing when the platform has none for it.
std::optional<speed_t> SpeedConstantOf(int bitsPerSecond);

// Reads return at once with what is queued.
void SetImmediateReads(termios &line);

// Raw 8N1 at the given speed, receiver on, modem control lines ignored, no hardware or
// software flow control. Everything else keeps its value.
void SetRawLine(termios &line, speed_t speed);

// True when what the driver kept matches what we asked for in the fields we set.
bool LineSettingsTook(const termios &wanted, const termios &actual);
