#include "core/genicam/FeatureModel.h"

#include <algorithm>
#include <limits>
#include <set>

#include "core/catalog/PageTables.h"
#include "core/catalog/ParameterCatalog.h"
#include "core/catalog/SfncNames.h"
#include "core/common/Dialogs.h"
#include "core/formats/LutCurve.h"
#include "core/formats/ShadingFile.h"
#include "core/operations/CameraProcedures.h"
#include "core/operations/CameraReadouts.h"
#include "core/operations/FlashAreas.h"
#include "core/operations/IdentityWrites.h"
#include "core/operations/LinkNegotiation.h"
#include "core/operations/LutExchange.h"
#include "core/operations/ShadingExchange.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "core/protocol/IdentityTexts.h"
#include "core/transport/ClSerialApi.h"
#include "core/transport/SerialLink.h"

namespace Genicam {

namespace {

using RegisterMap::Kind;
using RegisterMap::Slot;

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
// A text the tables give no limit for is held in a register of this many bytes.
constexpr std::uint32_t kTextBytes = 64;

// The tables are read, never shown: a lookup that fails would be a fault in them.
class SilentDialogs final : public Dialogs {
public:
    MessageAnswer ShowMessage(const MessageRequest &) override { return MessageAnswer::Ok; }
    FileDialogResult ChooseFile(const FileDialogRequest &) override { return {}; }
};

QString camelCase(const QString &dashed)
{
    QString out;
    bool upper = true;
    for (const QChar c : dashed) {
        if (c == u'-') {
            upper = true;
            continue;
        }
        out += upper ? c.toUpper() : c;
        upper = false;
    }
    return out;
}

RegisterMap::ModelMask lackedBy(int commandId)
{
    RegisterMap::ModelMask mask = 0;
    for (const std::int32_t model : {CameraModel::kSecondModel, CameraModel::kFirstModel}) {
        if (!CameraModel::IsSupportedCommand(model, commandId))
            mask |= static_cast<RegisterMap::ModelMask>(1u << model);
    }
    return mask;
}

class Builder {
public:
    Builder() : table_(dialogs_), catalog_(table_, commands_) {}

    Description Build()
    {
        category(QStringLiteral("Root"), QStringLiteral("Root"), {});
        deviceControl();
        pages();
        readouts();
        procedures();
        userSets();
        lut();
        shading();
        return std::move(description_);
    }

private:
    void category(const QString &name, const QString &display, const QString &parent)
    {
        description_.categories.push_back({name, display, parent});
    }

    Feature &add(Feature feature)
    {
        feature.address = next_;
        next_ += (feature.length + 3) / 4 * 4;
        description_.features.push_back(std::move(feature));
        return description_.features.back();
    }

    Feature commandFeature(int commandId, const QString &display, const QString &categoryName) const
    {
        Feature f;
        f.mnemonic = commands_.MnemonicOf(commandId);
        const SfncName *sfnc = FindSfncName(f.mnemonic.toStdString());
        f.standard = sfnc != nullptr;
        f.name = sfnc ? QString::fromLatin1(sfnc->name) : f.mnemonic;
        f.display = display.isEmpty() ? f.mnemonic : display;
        f.category = categoryName;
        f.lackedBy = lackedBy(commandId);
        f.writeLimitMs = kParameterSetTimeoutMs;
        return f;
    }

    Feature readOnlyValue(int commandId, const QString &display, const QString &categoryName) const
    {
        Feature f = commandFeature(commandId, display, categoryName);
        f.writable = false;
        f.minimum = kIntMin;
        f.maximum = kIntMax;
        return f;
    }

    Feature local(const QString &name, const QString &display, const QString &categoryName, Slot slot,
                  std::int32_t minimum, std::int32_t maximum) const
    {
        Feature f;
        f.name = name;
        f.display = display;
        f.category = categoryName;
        f.kind = Kind::Local;
        f.slot = slot;
        f.minimum = minimum;
        f.maximum = maximum;
        f.standard = true;
        return f;
    }

    Feature command(const QString &name, const QString &display, const QString &categoryName, Kind kind, int commandId,
                    std::uint32_t limitMs) const
    {
        Feature f = commandFeature(commandId, display, categoryName);
        f.name = name;
        f.display = display;
        f.shape = Shape::Command;
        f.kind = kind;
        f.readable = false;
        f.writeLimitMs = limitMs;
        f.pending = limitMs > kParameterSetTimeoutMs;
        return f;
    }

    void deviceControl()
    {
        const QString device = QStringLiteral("DeviceControl");
        category(device, QStringLiteral("Device Control"), QStringLiteral("Root"));
        struct TextRow {
            int commandId;
            const char *display;
            std::uint32_t length;
            bool writable;
            int writeId = -1;        // the command that writes it, when not its own
            std::int32_t unlock = 0; // the unlock value that write needs
            bool writeExtended = false;
        };
        // The camera id is written after the unlock and, as in the windows, only in the
        // extended control mode; the device version has a write command of its own.
        const TextRow texts[] = {
            {CommandId::MD, "Model Name", kTextBytes, false},
            {CommandId::VN, "Firmware Version", kTextBytes, false},
            {CommandId::FPVN, "FPGA Version", kTextBytes, false},
            {CommandId::ID, "Camera ID", kCameraIdCharacters, true, CommandId::ID00, kCameraIdUnlockValue, true},
            {CommandId::UD, "User ID", kUserIdMaxBytes, true},
            {CommandId::DV, "Device Version", kTextBytes, true, CommandId::DV00},
            {CommandId::DVN, "Device Version Name", kTextBytes, false},
        };
        for (const TextRow &row : texts) {
            Feature f = commandFeature(row.commandId, QString::fromLatin1(row.display), device);
            f.shape = Shape::String;
            f.kind = Kind::Text;
            f.length = row.length;
            f.writable = row.writable;
            if (row.writeId >= 0)
                f.writeMnemonic = commands_.MnemonicOf(row.writeId);
            f.unlockValue = row.unlock;
            f.writeExtendedOnly = row.writeExtended;
            add(f);
        }
        add(readOnlyValue(CommandId::TMP0, QStringLiteral("Temperature"), device));

        Feature baud = commandFeature(CommandId::CBDRT, QStringLiteral("Baud Rate"), device);
        baud.name = QStringLiteral("DeviceSerialPortBaudRate");
        baud.standard = true;
        baud.shape = Shape::Enumeration;
        baud.kind = Kind::BaudRate;
        for (int code = 0; code <= LinkNegotiation::kTopCode; ++code) {
            const int rate = SerialLink::BaudOfCode(code);
            baud.choices.push_back({QStringLiteral("Baud%1").arg(rate), QStringLiteral("%1 bit/s").arg(rate),
                                    static_cast<std::int32_t>(clserial::BaudBit(rate))});
        }
        limitsOfChoices(baud);
        add(baud);

        Feature model;
        model.name = QStringLiteral("DeviceModelCode");
        model.display = QStringLiteral("Model Code");
        model.category = device;
        model.kind = Kind::ModelCode;
        model.writable = false;
        model.minimum = 0;
        model.maximum = CameraModel::kUnknown;
        model.invisible = true;
        add(model);

        Feature mode = local(QStringLiteral("ControlMode"), QStringLiteral("Extended Control Mode"), device,
                             Slot::ControlMode, 0, 1);
        mode.standard = false;
        add(mode);
    }

    static void limitsOfChoices(Feature &f)
    {
        f.minimum = kIntMax;
        f.maximum = kIntMin;
        for (const EnumChoice &choice : f.choices) {
            f.minimum = std::min(f.minimum, choice.code);
            f.maximum = std::max(f.maximum, choice.code);
        }
    }

    void choicesOf(const Parameter &parameter, Feature &f) const
    {
        std::set<QString> taken;
        for (std::size_t i = 0; i < parameter.field->entries.size(); ++i) {
            QString name = CName(QString::fromUtf8(parameter.field->entries[i]));
            for (int n = 2; taken.count(name); ++n)
                name = CName(QString::fromUtf8(parameter.field->entries[i])) + QStringLiteral("_%1").arg(n);
            taken.insert(name);
            f.choices.push_back({name, QString::fromUtf8(parameter.field->entries[i]),
                                 catalog_.CodeOfEntry(parameter, static_cast<int>(i))});
        }
        limitsOfChoices(f);
    }

    Feature parameterFeature(const Parameter &parameter, const QString &categoryName, bool factoryPage) const
    {
        const ControlEntry &row = table_.Row(parameter.row);
        Feature f = commandFeature(parameter.commandId, parameter.label, categoryName);
        f.extendedOnly = factoryPage || row.access == 2;
        if (parameter.IsList()) {
            f.shape = Shape::Enumeration;
            choicesOf(parameter, f);
        } else {
            f.minimum = std::min(row.minimum, row.maximum);
            f.maximum = std::max(row.minimum, row.maximum);
        }
        return f;
    }

    // The commands that other registers stand for: the LUT entries (LUTSelector, LUTIndex,
    // LUTValue), and the rows without a command of their own.
    static bool servedElsewhere(int commandId)
    {
        for (int channel = 0; channel < 3; ++channel) {
            if (commandId == LutCommandsOf(channel).indexCommand || commandId == LutCommandsOf(channel).valueCommand)
                return true;
        }
        return commandId == CommandId::Empty;
    }

    void pages()
    {
        for (const PageSpec *page : kPageTable) {
            const QString pageName = CName(QString::fromUtf8(page->title));
            category(pageName, QString::fromUtf8(page->title), QStringLiteral("Root"));
            for (const GroupSpec &group : page->groups) {
                QString groupName = pageName;
                if (group.title) {
                    groupName = pageName + u'_' + CName(QString::fromUtf8(group.title));
                    category(groupName, QString::fromUtf8(group.title), pageName);
                }
                for (const FieldSpec &field : group.fields)
                    fieldFeature(field, groupName, page->factoryOnly);
            }
        }
    }

    // A control that edits one member of a command family (the chromatic aberration cells):
    // every member is a register of its own, with the control's limits or entries. Which
    // member the windows' selectors choose stays with the windows.
    void familyFeatures(const FieldSpec &field, const QString &groupName, bool factoryPage)
    {
        const int row = table_.CtrlId2TblIndex(field.id);
        for (int commandId = 0; row >= 0 && commandId < kCommandCount; ++commandId) {
            if (commandId == CommandId::Empty || table_.ToCtrlId(commandId) != field.id)
                continue;
            Parameter member;
            member.row = row;
            member.controlId = field.id;
            member.commandId = commandId;
            member.mnemonic = commands_.MnemonicOf(commandId);
            member.field = &field;
            member.label = QString::fromUtf8(field.label ? field.label : field.name);
            Feature f = parameterFeature(member, groupName, factoryPage);
            f.display = member.label + u' ' + member.mnemonic;
            add(f);
        }
    }

    void fieldFeature(const FieldSpec &field, const QString &groupName, bool factoryPage)
    {
        if (field.id && (field.kind == FieldKind::Number || field.kind == FieldKind::List) &&
            table_.CtrlId2TblIndex(field.id) >= 0 && table_.Row(table_.CtrlId2TblIndex(field.id)).commandId == CommandId::Empty) {
            familyFeatures(field, groupName, factoryPage);
            return;
        }
        const Parameter *parameter = field.id ? catalog_.OfControl(field.id) : nullptr;
        if (!parameter || !parameter->field || servedElsewhere(parameter->commandId) || done_.count(parameter->commandId))
            return;
        // The gain-auto levels are another form of the percentage; the camera is told only that.
        if (table_.Row(parameter->row).access == 0)
            return;
        const SfncName *sfnc = FindSfncName(parameter->mnemonic.toStdString());
        if (!sfnc || !sfnc->selector) {
            done_.insert(parameter->commandId);
            add(parameterFeature(*parameter, groupName, factoryPage));
            return;
        }
        // A selected feature's registers lie side by side in the selector's order.
        for (const SfncName &member : kSfncNames) {
            if (member.selector == nullptr || QLatin1String(member.selector) != QLatin1String(sfnc->selector))
                continue;
            const ParameterLookup found = catalog_.Find(QString::fromLatin1(member.mnemonic));
            if (!found.parameter)
                continue;
            done_.insert(found.parameter->commandId);
            Feature f = parameterFeature(*found.parameter, groupName, factoryPage);
            f.selector = QString::fromLatin1(member.selector);
            f.selectorEntry = QString::fromLatin1(member.entry);
            add(f);
        }
    }

    void readouts()
    {
        const QString readoutsName = QStringLiteral("Readouts");
        category(readoutsName, QStringLiteral("Readouts"), QStringLiteral("Root"));
        for (const NamedReadout &readout : NamedReadouts()) {
            if (readout.command == CommandId::TMP0)
                continue; // DeviceTemperature
            add(readOnlyValue(readout.command, QString::fromLatin1(readout.label), readoutsName));
            if (readout.counter >= 0) {
                const int stride = readout.counter * CommandId::kCounterStride;
                const int status = CommandId::CS0 + stride;
                add(readOnlyValue(status, QString::fromLatin1(readout.label) + QStringLiteral(" Status"), readoutsName));
                const int reset = CommandId::CR0 + stride;
                add(command(commands_.MnemonicOf(reset), QString::fromLatin1(readout.label) + QStringLiteral(" Reset"),
                            readoutsName, Kind::Procedure, reset, 1000));
            }
        }
        Feature xml = commandFeature(CommandId::XMLVR, QStringLiteral("XML Version"), readoutsName);
        xml.minimum = 0;
        xml.maximum = 999;
        xml.writeLimitMs = 10000;
        xml.extendedOnly = true;
        add(xml);
    }

    void procedures()
    {
        const QString proceduresName = QStringLiteral("CalibrationControl");
        category(proceduresName, QStringLiteral("Calibrations and One-shot Functions"), QStringLiteral("Root"));
        for (const CameraProcedureInfo &info : CameraProcedures()) {
            const ProcedureWire wire = WireOf(info.procedure);
            const QString name = camelCase(QString::fromLatin1(info.name));
            Feature start = command(QStringLiteral("Run") + name, QString::fromLatin1(info.title), proceduresName, Kind::Procedure,
                                    wire.startId, wire.startLimitMs);
            start.startValue = wire.startValue;
            start.extendedOnly = info.extendedOnly;
            start.pending = true; // every procedure may take longer than a host waits
            add(start);
            Feature result = readOnlyValue(wire.resultId, QString::fromLatin1(info.title) + QStringLiteral(" Result"),
                                           proceduresName);
            result.name = name + QStringLiteral("Result");
            result.extendedOnly = info.extendedOnly;
            add(result);
        }
    }

    void userSets()
    {
        const QString sets = QStringLiteral("UserSetControl");
        category(sets, QStringLiteral("User Set Control"), QStringLiteral("Root"));
        Feature selector = local(QStringLiteral("UserSetSelector"), QStringLiteral("User Set"), sets,
                                 Slot::UserSetSelector, kFactoryArea, kLastUserArea);
        selector.shape = Shape::Enumeration;
        selector.selects = {QStringLiteral("UserSetLoad"), QStringLiteral("UserSetSave")};
        for (int area = kFactoryArea; area <= kLastUserArea; ++area)
            selector.choices.push_back({area == kFactoryArea ? QStringLiteral("Default") : QStringLiteral("UserSet%1").arg(area),
                                        FlashAreaText(area), area});
        add(selector);
        add(command(QStringLiteral("UserSetLoad"), QStringLiteral("Load User Set"), sets, Kind::UserSetLoad,
                    CommandId::LD, kLoadAreaTimeoutMs)).standard = true;
        add(command(QStringLiteral("UserSetSave"), QStringLiteral("Save User Set"), sets, Kind::UserSetSave,
                    CommandId::SA, kStoreAreaTimeoutMs)).standard = true;
    }

    void lut()
    {
        const QString lutName = QStringLiteral("LUTControl");
        category(lutName, QStringLiteral("LUT Control"), QStringLiteral("Root"));
        Feature selector = local(QStringLiteral("LUTSelector"), QStringLiteral("LUT Channel"), lutName,
                                 Slot::LutSelector, 0, 2);
        selector.shape = Shape::Enumeration;
        selector.selects = {QStringLiteral("LUTIndex"), QStringLiteral("LUTValue")};
        for (const auto &[channel, text] : {std::pair{0, "Red"}, std::pair{1, "Green"}, std::pair{2, "Blue"}})
            selector.choices.push_back({QString::fromLatin1(text), QString::fromLatin1(text), channel});
        add(selector);
        add(local(QStringLiteral("LUTIndex"), QStringLiteral("LUT Index"), lutName, Slot::LutIndex, 0, kLutEntries - 1))
            .selects = {QStringLiteral("LUTValue")};
        Feature value = commandFeature(LutCommandsOf(0).valueCommand, QStringLiteral("LUT Value"), lutName);
        value.name = QStringLiteral("LUTValue");
        value.mnemonic.clear(); // the selector chooses the commands
        value.standard = true;
        value.kind = Kind::LutValue;
        value.minimum = 0;
        value.maximum = kLutMaxValue;
        value.writeLimitMs = kLutExchangeTimeoutMs;
        add(value);
    }

    void shading()
    {
        const QString shadingName = QStringLiteral("ShadingControl");
        category(shadingName, QStringLiteral("Shading Correction Data"), QStringLiteral("Root"));
        Feature selector = local(QStringLiteral("ShadingSelector"), QStringLiteral("Shading Channel"), shadingName,
                                 Slot::ShadingSelector, 0, kShadingChannels - 1);
        selector.standard = false;
        selector.selects = {QStringLiteral("ShadingIndex"), QStringLiteral("ShadingValue")};
        add(selector);
        Feature index = local(QStringLiteral("ShadingIndex"), QStringLiteral("Shading Index"), shadingName,
                              Slot::ShadingIndex, 1, kShadingValues);
        index.standard = false;
        index.selects = {QStringLiteral("ShadingValue")};
        add(index);
        Feature value = readOnlyValue(CommandId::SDD, QStringLiteral("Shading Value"), shadingName);
        value.name = QStringLiteral("ShadingValue");
        value.mnemonic.clear();
        value.kind = Kind::ShadingValue;
        value.writable = true;
        value.writeLimitMs = kShadingValueMs;
        add(value);
        add(command(QStringLiteral("SDDU"), QStringLiteral("Use Written Shading Data"), shadingName, Kind::Procedure,
                    CommandId::SDDU, kShadingFinishMs));
        add(command(QStringLiteral("SDDA"), QStringLiteral("Store Shading Data in Flash"), shadingName, Kind::Procedure,
                    CommandId::SDDA, kShadingFinishMs));
    }

    SilentDialogs dialogs_;
    ControlTable table_;
    CommandTable commands_;
    ParameterCatalog catalog_;
    Description description_;
    std::set<int> done_;
    std::uint32_t next_ = 0x100;
};

} // namespace

QString CName(const QString &text)
{
    QString out;
    bool gap = false;
    for (const QChar c : text) {
        const bool keep = c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_');
        if (!keep) {
            gap = !out.isEmpty();
            continue;
        }
        if (gap)
            out += u'_';
        gap = false;
        out += c;
    }
    if (out.isEmpty() || !out.front().isLetter())
        out.prepend(u'E');
    return out;
}

QString XmlId()
{
    return QStringLiteral("SchemaVersion.1.1@%1#%2@XMLVersion.%3.%4.%5")
        .arg(QLatin1String(kVendor), QLatin1String(kFamily))
        .arg(kXmlMajor)
        .arg(kXmlMinor)
        .arg(kXmlSubMinor);
}

Description BuildDescription()
{
    return Builder().Build();
}

} // namespace Genicam
