#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "core/protocol/CommandTable.h"

// The camera's identification data.
struct Identity {
    QString model;
    QString firmwareVersion = QStringLiteral("2.1.0.7"); // "VN"
    QString fpgaVersion = QStringLiteral("1.3.0.2");     // "FPVN"
    QString cameraId = QStringLiteral("QN52000417");     // "ID": ten characters
    QString userId;                                      // "UD": up to 64
    QString deviceVersion = QStringLiteral("1.0.0.0");   // "DV": a.b.c.d
    QString deviceName = QStringLiteral("QN-5200R");     // "DVN"
};

// One integer per command id; only the ids whose spec is "stored" are meaningful in an area.
using ParameterSet = std::array<std::int64_t, kCommandCount>;

inline constexpr int kFlashAreaCount = 4; // 0 factory, 1..3 user

// What outlives a power cycle: the flash areas, the boot area and the identification.
struct PersistentState {
    Identity identity;
    std::array<ParameterSet, kFlashAreaCount> areas{};
    int bootArea = 0;
};
