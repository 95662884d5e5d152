#pragma once

#include <array>

#include "SimCommandIds.h"

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
    {SimId::AWB, 2, SimId::AWRS, 1, 5, false, -1, SimId::GAR, 118, SimId::GAB, 93},
    {SimId::AWB, 4, SimId::AHRS, 1, 5, false, SimId::PER, SimId::PER, 1210, SimId::PEB, 940},
    {SimId::AGC, 2, SimId::AGCS, 1, 4, false, -1, SimId::GAG, 160, SimId::GAR, 180},
    {SimId::RS, 0, SimId::SDRS, 4, 4, false, -1, -1, 0, -1, 0},
    {SimId::SDR00, 0, SimId::SDS00, 4, 4, false, -1, -1, 0, -1, 0},
    {SimId::PGR, 0, SimId::PGS, 1, 1, true, -1, -1, 0, -1, 0},
    {SimId::PBR, 0, SimId::PBS, 1, 1, true, -1, -1, 0, -1, 0},
    {SimId::PGR00, 0, SimId::PGS00, 1, 1, true, -1, -1, 0, -1, 0},
    {SimId::PBR00, 0, SimId::PBS00, 1, 1, true, -1, -1, 0, -1, 0},
}};
