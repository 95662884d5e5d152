#pragma once

#include <cstdint>

#include <QString>

class ControlFinder;
class ControlTable;

// The line rate is a period in units of 10 ns. Its readouts show the period in microseconds
// and the frequency in lines per second.
QString FormatLinePeriod(std::int32_t period);
// A period of 0 has no finite frequency; the readout then says so instead of "inf".
QString FormatLineFrequency(std::int32_t period);

// Rewrites the two readouts from the line-rate row.
void UpdateLineRateDisplay(const ControlFinder &finder, const ControlTable &table);
