#pragma once

#include <array>
#include <cstdint>

#include <QByteArray>
#include <QList>

// The camera's shading correction tables: 1,024 values per channel, channels in the order
// G, R, B (the camera's channel numbers 0, 1, 2). Index k is the camera's data index k + 1.
inline constexpr int kShadingChannels = 3;
inline constexpr int kShadingValues = 1024;
using ShadingChannel = std::array<std::int32_t, kShadingValues>;
using ShadingTable = std::array<ShadingChannel, kShadingChannels>;

// The file's lines without line ends: the header "ShadingData  (G R B)", then one
// "G, R, B" line per index.
QList<QByteArray> ShadingFileLines(const ShadingTable &table);

struct ShadingFileRead {
    enum class Outcome {
        Complete,
        InvalidCount, // a data line with a third comma; reading stopped there
        TooMany,      // more than 1,024 data lines; the first 1,024 were taken
    };
    Outcome outcome = Outcome::Complete;
    int linesTaken = 0; // data lines that replaced their index in the table
};

// Reads a file's bytes into the table. The first line is skipped whatever it holds; lines are
// taken in pieces of at most 126 characters, each piece counting as a data line. In a data
// line digits build the current field, a comma moves to the next, anything else is ignored,
// so signs and decimal points vanish ("-5" is 5, "1.5" is 15). Missing or empty fields are 0;
// a number too large for 32 bits is held at the largest value. Indexes past the last data
// line keep what they held; so do the lines after a third comma.
ShadingFileRead ReadShadingFile(const QByteArray &bytes, ShadingTable &table);
