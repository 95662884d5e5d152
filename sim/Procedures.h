#pragma once

#include <array>

#include "core/protocol/CommandIds.h"

// Calibrations and one-shot functions: the start command and value, the status command that
// reports the result code, the code the camera reports on success and before any run.
// Pixel recalibrations confirm at once and then report busy (0) for a few status polls;
// the others work for the procedure time before they confirm.
struct ProcedureRow {
    int startId;
    int startValue;
    int statusId;
    int successCode;
    int idleCode;
    bool pixel;
    int requiredId; // a command the model must have for this procedure, -1 none
    // What a successful run changes, as two (command id, value) pairs; id -1 for none.
    int effectId1;
    int effectValue1;
    int effectId2;
    int effectValue2;
};

inline constexpr int kBusyPolls = 3;

inline constexpr std::array<ProcedureRow, 9> kProcedures = {{
    {CommandId::AWB, 2, CommandId::AWRS, 1, 5, false, -1, CommandId::GAR, 118, CommandId::GAB, 93},
    {CommandId::AWB, 4, CommandId::AHRS, 1, 5, false, CommandId::PER, CommandId::PER, 1210, CommandId::PEB, 940},
    {CommandId::AGC, 2, CommandId::AGCS, 1, 4, false, -1, CommandId::GAG, 160, CommandId::GAR, 180},
    {CommandId::RS, 0, CommandId::SDRS, 4, 4, false, -1, -1, 0, -1, 0},
    {CommandId::SDR00, 0, CommandId::SDS00, 4, 4, false, -1, -1, 0, -1, 0},
    {CommandId::PGR, 0, CommandId::PGS, 1, 1, true, -1, -1, 0, -1, 0},
    {CommandId::PBR, 0, CommandId::PBS, 1, 1, true, -1, -1, 0, -1, 0},
    {CommandId::PGR00, 0, CommandId::PGS00, 1, 1, true, -1, -1, 0, -1, 0},
    {CommandId::PBR00, 0, CommandId::PBS00, 1, 1, true, -1, -1, 0, -1, 0},
}};
