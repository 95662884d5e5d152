#pragma once

#include <array>

#include <QString>

#include "core/protocol/Command.h"

class CameraModel;
class CommandTable;

// The identification texts every front end reads after the model: firmware, FPGA and device
// version, camera id and user id, in this order.
struct IdentityField {
    const char *key;   // JSON key / dictionary key
    const char *title; // the text shown beside it
    const char *mnemonic;
};

inline constexpr std::array<IdentityField, 5> kIdentityFields = {{
    {"firmware", "Firmware version", "VN"},
    {"fpga", "FPGA version", "FPVN"},
    {"deviceVersion", "Device version", "DV"},
    {"cameraId", "Camera id", "ID"},
    {"userId", "User id", "UD"},
}};

struct CameraIdentity {
    std::array<QString, kIdentityFields.size()> texts; // empty where the camera gave none
    Command::Outcome firstFailure = Command::Outcome::None; // of the first query that failed
};

// Asks each field in turn (1,000 ms each); a failed query leaves its text empty and the rest
// are still asked. A device version that is not four parts is left empty, as the windows show
// it as unknown.
CameraIdentity ReadCameraIdentity(Command &command, const CommandTable &commands);
// The text of the field with this key ("cameraId", "firmware", ...).
QString IdentityText(const CameraIdentity &identity, const char *key);
