#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "core/genicam/RegisterKinds.h"

// The camera as GenICam sees it: every feature with its register, built from the command,
// control and page tables, the list codes, the procedures and the identity texts. The GenApi
// description, the library's register map and the documentation's table are written from it.
namespace Genicam {

enum class Shape { Integer, Enumeration, String, Command };

struct EnumChoice {
    QString name;    // a C name
    QString display; // the page's text
    std::int32_t code;
};

struct Feature {
    QString name;     // the feature's node name: SFNC's where it has one, else the mnemonic
    QString display;  // the page's label
    QString category; // the category node that lists it
    Shape shape = Shape::Integer;
    RegisterMap::Kind kind = RegisterMap::Kind::Value;
    std::uint32_t address = 0;
    std::uint32_t length = 4;
    QString mnemonic; // the command read and written; empty for none
    bool readable = true;
    bool writable = true;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::vector<EnumChoice> choices;
    std::int32_t startValue = 0;
    std::uint32_t writeLimitMs = 0;
    bool pending = false;
    RegisterMap::Slot slot = RegisterMap::Slot::None;
    RegisterMap::ModelMask lackedBy = 0;
    bool extendedOnly = false;
    bool standard = false;  // the name is SFNC's
    QString selector;       // a selected feature's selector...
    QString selectorEntry;  // ...and the entry that selects this register
    bool invisible = false; // a helper the availability rules read
    QString writeMnemonic;  // a text written by another command; empty for its own
    std::int32_t unlockValue = 0;   // the unlock value sent before such a write; 0 for none
    bool writeExtendedOnly = false; // read in any mode, written in the extended one only
    std::vector<QString> selects; // the features whose register this one chooses
};

struct Category {
    QString name;
    QString display;
    QString parent; // empty for the root
};

struct Description {
    std::vector<Feature> features;    // in address order; members of a selector side by side
    std::vector<Category> categories; // parents before their children
};

Description BuildDescription();

// The device id's tokens and the description's version.
inline constexpr const char *kVendor = "Korvel";
inline constexpr const char *kFamily = "QN5200";
// As the camera's XML Version readout holds it: one digit each for major, minor, sub-minor.
inline constexpr std::int32_t kXmlVersion = 100;
static_assert(kXmlVersion >= 0 && kXmlVersion <= 999);
inline constexpr int kXmlMajor = kXmlVersion / 100;
inline constexpr int kXmlMinor = kXmlVersion / 10 % 10;
inline constexpr int kXmlSubMinor = kXmlVersion % 10;
QString XmlId();

// A C name for a text: letters, digits and '_' kept, runs of anything else one '_', and a
// leading letter where the text starts otherwise ("63.75MHz" -> "E63_75MHz").
QString CName(const QString &text);

} // namespace Genicam
