#include "core/genicam/RegisterMapSource.h"

#include <QStringList>

#include "core/operations/FlashAreas.h"
#include "core/operations/LinkNegotiation.h"
#include "core/operations/LutExchange.h"
#include "core/operations/ShadingExchange.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "core/transport/ClSerialApi.h"
#include "core/transport/SerialLink.h"

namespace Genicam {

namespace {

const char *kindName(RegisterMap::Kind kind)
{
    switch (kind) {
    case RegisterMap::Kind::Value: return "Value";
    case RegisterMap::Kind::Text: return "Text";
    case RegisterMap::Kind::Procedure: return "Procedure";
    case RegisterMap::Kind::Local: return "Local";
    case RegisterMap::Kind::LutValue: return "LutValue";
    case RegisterMap::Kind::ShadingValue: return "ShadingValue";
    case RegisterMap::Kind::UserSetLoad: return "UserSetLoad";
    case RegisterMap::Kind::UserSetSave: return "UserSetSave";
    case RegisterMap::Kind::BaudRate: return "BaudRate";
    case RegisterMap::Kind::ModelCode: return "ModelCode";
    }
    return "Value";
}

const char *slotName(RegisterMap::Slot slot)
{
    switch (slot) {
    case RegisterMap::Slot::None: return "None";
    case RegisterMap::Slot::LutSelector: return "LutSelector";
    case RegisterMap::Slot::LutIndex: return "LutIndex";
    case RegisterMap::Slot::UserSetSelector: return "UserSetSelector";
    case RegisterMap::Slot::ShadingSelector: return "ShadingSelector";
    case RegisterMap::Slot::ShadingIndex: return "ShadingIndex";
    case RegisterMap::Slot::ControlMode: return "ControlMode";
    }
    return "None";
}

QByteArray quoted(const QByteArray &bytes)
{
    QByteArray out = "\"";
    for (const char c : bytes) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n\"\n    \""; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
                out += QByteArray("\\") + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
            else
                out += c;
        }
    }
    return out + "\"";
}

QByteArray quoted(const QString &text)
{
    return quoted(text.toUtf8());
}

QByteArray number(std::int64_t value)
{
    // The most negative 32-bit value cannot be written as a literal of its own.
    if (value == INT32_MIN)
        return "INT32_MIN";
    return QByteArray::number(value);
}

QByteArray entryName(const Feature &f)
{
    return quoted(f.selectorEntry.isEmpty() ? f.name : f.name + u'[' + f.selectorEntry + u']');
}

} // namespace

QByteArray WriteRegisterMapSource(const Description &description, const QByteArray &genApiXml)
{
    const CommandTable commands;
    const auto mnemonic = [&commands](int id) { return quoted(commands.MnemonicOf(id)); };
    QByteArray out;
    out += "// Generated at build time from the command, control and page tables by qn-genicam-gen.\n"
           "// Do not edit: change the tables.\n"
           "#include <cstdint>\n\n#include \"core/genicam/RegisterKinds.h\"\n\n"
           "namespace RegisterMap {\n\nnamespace {\n\n";
    for (std::size_t i = 0; i < description.features.size(); ++i) {
        const Feature &f = description.features[i];
        if (f.choices.empty())
            continue;
        out += "constexpr std::int32_t kCodes" + QByteArray::number(static_cast<qulonglong>(i)) + "[] = {";
        QByteArrayList codes;
        for (const EnumChoice &choice : f.choices)
            codes.append(QByteArray::number(choice.code));
        out += codes.join(", ") + "};\n";
    }
    out += "\nconstexpr Entry kEntries[] = {\n";
    for (std::size_t i = 0; i < description.features.size(); ++i) {
        const Feature &f = description.features[i];
        const QByteArray codes = f.choices.empty() ? QByteArray("{}") : "kCodes" + QByteArray::number(static_cast<qulonglong>(i));
        out += "    {0x" + QByteArray::number(f.address, 16) + ", Kind::" + kindName(f.kind) + ", " +
               QByteArray::number(f.length) + ", " + entryName(f) + ", " + quoted(f.mnemonic) + ", " +
               (f.readable ? "true" : "false") + ", " + (f.writable ? "true" : "false") + ", " + number(f.minimum) + ", " +
               number(f.maximum) + ", " + codes + ", " + number(f.startValue) + ", " + QByteArray::number(f.writeLimitMs) +
               ", " + (f.pending ? "true" : "false") + ", Slot::" + slotName(f.slot) + ", " +
               QByteArray::number(f.lackedBy) + ", " + (f.extendedOnly ? "true" : "false") + ", " +
               quoted(f.writeMnemonic) + ", " + QByteArray::number(f.unlockValue) + ", " +
               (f.writeExtendedOnly ? "true" : "false") + "},\n";
    }
    out += "};\n\n";

    QByteArrayList rateCodes;
    QByteArrayList rates;
    for (int code = 0; code <= LinkNegotiation::kTopCode; ++code) {
        const int rate = SerialLink::BaudOfCode(code);
        rates.append(QByteArray::number(rate));
        rateCodes.append(QByteArray::number(clserial::BaudBit(rate)));
    }
    QByteArrayList lutIndex;
    QByteArrayList lutValue;
    for (int channel = 0; channel < 3; ++channel) {
        lutIndex.append(mnemonic(LutCommandsOf(channel).indexCommand));
        lutValue.append(mnemonic(LutCommandsOf(channel).valueCommand));
    }
    out += "constexpr WireCommands kCommands = {\n    " + mnemonic(CommandId::MD) + ", " + mnemonic(CommandId::ULCK) +
           ", " + mnemonic(CommandId::CBDRT) +
           ", " + mnemonic(CommandId::LD) + ", " + mnemonic(CommandId::SA) + ", " + mnemonic(CommandId::SA00) + ",\n    " +
           mnemonic(CommandId::SDDS) + ", " + mnemonic(CommandId::SDDI) + ", " + mnemonic(CommandId::SDD) + ",\n    {" +
           lutIndex.join(", ") + "}, {" + lutValue.join(", ") + "},\n    " + QByteArray::number(kParameterSetTimeoutMs) +
           ", " + QByteArray::number(kShadingChannelSelectMs) + ", " + QByteArray::number(kLoadAreaTimeoutMs) + ", " +
           QByteArray::number(kStoreAreaTimeoutMs) + ", " + QByteArray::number(kFactoryArea) + ",\n    {" +
           rateCodes.join(", ") + "}, {" + rates.join(", ") + "},\n};\n\n";

    QByteArray models[2];
    for (const QString &name : CameraModel::SupportedNames()) {
        CameraModel model;
        model.Assign(name);
        models[model.Code()] = quoted(name);
    }
    out += "constexpr Identity kIdentity = {" + quoted(QString::fromLatin1(kVendor)) + ", " +
           quoted(QString::fromLatin1(kFamily)) + ", {" + models[0] + ", " + models[1] + "}, " + quoted(XmlId()) + ", " +
           QByteArray::number(kXmlVersion) + "};\n\n";

    out += "constexpr char kDescription[] =\n    " + quoted(genApiXml) + ";\n\n";
    out += "} // namespace\n\n"
           "std::span<const Entry> Entries() { return kEntries; }\n"
           "const WireCommands &Commands() { return kCommands; }\n"
           "const Identity &DeviceIdentity() { return kIdentity; }\n"
           "const char *Description() { return kDescription; }\n"
           "std::uint32_t DescriptionSize() { return sizeof(kDescription); }\n\n"
           "} // namespace RegisterMap\n";
    return out;
}

} // namespace Genicam
