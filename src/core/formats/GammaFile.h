#pragma once

#include <array>

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "core/formats/LutCurve.h"

// The gamma table file: a header line "GammaData (R G B)" and one line "r,g,b" per table
// index, the three channel tables side by side.

// The tables in red, green, blue order.
using GammaTables = std::array<LutTable, 3>;

inline constexpr char kGammaFileHeader[] = "GammaData (R G B)";

// The file's 257 lines, without line ends.
QList<QByteArray> GammaFileLines(const GammaTables &tables);

struct GammaFileRead {
    bool accepted = false;
    int storedLines = 0;
    // The boxes to show, in order: the first value above 4095, then what ended the read.
    QStringList messages;
};

// Fills the tables from the file's bytes, line by line as they are read; entries after the
// last stored line keep their values, also after an error. Only digits and commas count.
GammaFileRead ReadGammaFile(const QByteArray &bytes, GammaTables &tables);
