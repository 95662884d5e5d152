#pragma once

#include <cstdint>
#include <span>

// The register map's vocabulary, without Qt: the build-time generator writes a map in these
// terms and the CLProtocol library serves it. Every register is 4 bytes, little-endian and
// signed, except a text, which is its maximum length in bytes (zero-padded).
namespace RegisterMap {

enum class Kind : std::uint8_t {
    Value,       // a parameter: read "MN?", write "MN=value" within its limits or codes
    Text,        // a text: read "MN?", write "MN=text" (at most its length, one line)
    Procedure,   // writing starts it with its own start value; reads as 0
    Local,       // kept by the library for its connection; no line on the wire
    LutValue,    // the LUT entry that LUTSelector and LUTIndex choose
    ShadingValue,// the shading value that ShadingSelector and ShadingIndex choose
    UserSetLoad, // loads the area that UserSetSelector chooses
    UserSetSave, // stores the current settings into that area
    BaudRate,    // the link rate as the Camera Link bit code; writing moves camera and link
    ModelCode,   // the identified model's code (read-only, no line)
};

// The library's own values for a connection, by slot.
enum class Slot : std::uint8_t { None, LutSelector, LutIndex, UserSetSelector, ShadingSelector, ShadingIndex, ControlMode };
inline constexpr int kSlotCount = 7;

// Which camera models lack a register's command: bit n set for the model with code n.
using ModelMask = std::uint8_t;

struct Entry {
    std::uint32_t address;
    Kind kind;
    std::uint32_t length;       // bytes
    const char *name;           // the feature's name in the GenApi description
    const char *mnemonic;       // the command read and written; "" for none
    bool readable;
    bool writable;
    std::int32_t minimum;       // Value, Local: the limits of a number
    std::int32_t maximum;
    std::span<const std::int32_t> codes; // a list's codes; empty for a number
    std::int32_t startValue;    // Procedure: the value it starts with
    std::uint32_t writeLimitMs; // the longest the camera may take to acknowledge a write
    bool pending;               // a write may outlast a host's time-out: CL_ERR_PENDING_WRITE
    Slot slot;                  // Local: where its value is kept
    ModelMask lackedBy;
    bool extendedOnly;          // only in the extended control mode
    const char *writeMnemonic;  // a text written by another command ("DV00"); "" for the same
    std::int32_t unlockValue;   // sent with the unlock command before the write; 0 for none
    bool writeExtendedOnly;     // readable always, written only in the extended control mode
};

// The fixed commands of the composite registers.
struct WireCommands {
    const char *model;              // "MD"
    const char *unlock;             // "ULCK"
    const char *baudRate;           // "CBDRT"
    const char *loadArea;           // "LD"
    const char *storeArea;          // "SA"
    const char *storeFactoryArea;   // "SA00"
    const char *shadingChannel;     // "SDDS"
    const char *shadingIndex;       // "SDDI"
    const char *shadingValue;       // "SDD"
    const char *lutIndex[3];        // by LUTSelector: red, green, blue
    const char *lutValue[3];
    std::uint32_t setLimitMs;       // what the tool waits for an ordinary set
    std::uint32_t channelSelectLimitMs;
    std::uint32_t loadAreaLimitMs;
    std::uint32_t storeAreaLimitMs;
    std::int32_t factoryArea;
    std::int32_t rateCodes[5];      // Camera Link bit codes the camera takes, slowest first
    std::uint32_t rates[5];         // the same in bit/s
};

struct Identity {
    const char *vendor;        // a C name, as device ids and the description need
    const char *family;
    const char *modelNames[2]; // the camera's texts of the models with codes 0 and 1
    const char *xmlId;         // "SchemaVersion.1.1@vendor#family@XMLVersion.a.b.c"
    std::int32_t xmlVersion;   // as the camera's XML Version readout holds it: 100 a + 10 b + c
};

// The generated map.
std::span<const Entry> Entries();
const WireCommands &Commands();
const Identity &DeviceIdentity();
// The GenApi description, NUL-terminated.
const char *Description();
std::uint32_t DescriptionSize(); // with the NUL

} // namespace RegisterMap
