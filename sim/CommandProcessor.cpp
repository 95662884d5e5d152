#include "CommandProcessor.h"

#include <algorithm>

#include "BaudRates.h"
#include "Procedures.h"
#include "SensorGeometry.h"
#include "core/protocol/CameraModel.h"
#include "core/protocol/CommandIds.h"

namespace {

const QByteArray kComplete = "COMPLETE";
const QByteArray kUnknownCommand = "Error: unknown command";
const QByteArray kNotSupported = "Error: command not supported";
const QByteArray kOutOfRange = "Error: value out of range";
const QByteArray kInvalidValue = "Error: invalid value";
const QByteArray kReadOnly = "Error: read only";
const QByteArray kSyntax = "Error: syntax error";
const QByteArray kLocked = "Error: locked";
const QByteArray kWrongCode = "Error: wrong unlock code";
const QByteArray kTooLong = "Error: value too long";

constexpr std::int64_t kUnlockCode = 5918274;
constexpr int kLutSize = 256;
constexpr int kLutMax = 4095;
constexpr std::int64_t kShadingUnity = 4096;
constexpr int kXmlVersion = 3;
constexpr int kBaseTemperature = 38; // degrees C just after power-on
constexpr int kWarmUp = 7;           // it settles this much higher, one degree a minute

// Text commands: where the text lives, whether it can be written, its longest length.
struct TextRow {
    int id;
    QString Identity::*field;
    bool writable;
    int maxLength;
};
const std::array<TextRow, 10> kTextRows = {{
    {CommandId::VN, &Identity::firmwareVersion, false, 0},
    {CommandId::FPVN, &Identity::fpgaVersion, false, 0},
    {CommandId::ID, &Identity::cameraId, false, 0},
    {CommandId::UD, &Identity::userId, true, 64},
    {CommandId::DVN, &Identity::deviceName, false, 0},
    {CommandId::MD, &Identity::model, false, 0},
    {CommandId::DV, &Identity::deviceVersion, false, 0},
    {CommandId::ID00, &Identity::cameraId, true, 10},
    {CommandId::MD00, &Identity::model, true, 32},
    {CommandId::DV00, &Identity::deviceVersion, true, 23},
}};

const TextRow *textRow(int id)
{
    for (const TextRow &row : kTextRows)
        if (row.id == id)
            return &row;
    return nullptr;
}

// Image windows on the sensor: (width, offset) pairs that binning rescales.
struct WindowRow {
    int widthId;
    int offsetId;
};
constexpr std::array<WindowRow, 2> kWindows = {{{CommandId::WTC, CommandId::OFC}, {CommandId::AWBW, CommandId::AWBO}}};

const ProcedureRow *procedureStartedBy(int id, std::int64_t value)
{
    for (const ProcedureRow &row : kProcedures)
        if (row.startId == id && row.startValue == value)
            return &row;
    return nullptr;
}

const ProcedureRow *procedureReportedBy(int statusId)
{
    for (const ProcedureRow &row : kProcedures)
        if (row.statusId == statusId)
            return &row;
    return nullptr;
}

std::optional<std::int64_t> parseInteger(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    bool ok = false;
    std::int64_t value = 0;
    if (trimmed.startsWith("&H") || trimmed.startsWith("&h"))
        value = trimmed.mid(2).toLongLong(&ok, 16);
    else
        value = trimmed.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

bool isDottedVersion(const QString &text)
{
    return text.count(QLatin1Char('.')) == 3;
}

} // namespace

const std::array<CommandProcessor::Handler, CommandProcessor::kHandlerCount> CommandProcessor::kHandlers = {{
    {CommandId::VN, CommandId::DV, &CommandProcessor::setText, &CommandProcessor::queryText},
    {CommandId::CBDRT, CommandId::CBDRT, &CommandProcessor::setBaudCode, &CommandProcessor::queryBaudCode},
    {CommandId::CRS00, CommandId::CRS00, &CommandProcessor::setReset, &CommandProcessor::queryPlain},
    {CommandId::LRMIN, CommandId::PEMIN, &CommandProcessor::setReadOnly, &CommandProcessor::queryComputed},
    {CommandId::WTC, CommandId::OFC, &CommandProcessor::setWindow, &CommandProcessor::queryPlain},
    {CommandId::HB, CommandId::HB, &CommandProcessor::setBinning, &CommandProcessor::queryPlain},
    {CommandId::AGC, CommandId::AGCS, &CommandProcessor::setProcedure, &CommandProcessor::queryStatus},
    {CommandId::AWB, CommandId::AWB, &CommandProcessor::setProcedure, &CommandProcessor::queryStatus},
    {CommandId::AWBW, CommandId::AWBO, &CommandProcessor::setWindow, &CommandProcessor::queryPlain},
    {CommandId::AWRS, CommandId::AHRS, &CommandProcessor::setProcedure, &CommandProcessor::queryStatus},
    {CommandId::RS, CommandId::SDRS, &CommandProcessor::setProcedure, &CommandProcessor::queryStatus},
    {CommandId::SDD, CommandId::SDD, &CommandProcessor::setShadingValue, &CommandProcessor::queryShadingValue},
    {CommandId::PGR, CommandId::PBS, &CommandProcessor::setProcedure, &CommandProcessor::queryStatus},
    {CommandId::LUTG, CommandId::LUTB, &CommandProcessor::setLutValue, &CommandProcessor::queryLutValue},
    {CommandId::TMP0, CommandId::TMP0, &CommandProcessor::setReadOnly, &CommandProcessor::queryComputed},
    {CommandId::CE0, CommandId::CE0 + 19, &CommandProcessor::setCounter, &CommandProcessor::queryCounter},
    {CommandId::LD, CommandId::LD, &CommandProcessor::setLoad, &CommandProcessor::queryPlain},
    {CommandId::SA, CommandId::SA, &CommandProcessor::setStore, &CommandProcessor::queryPlain},
    {CommandId::EA, CommandId::EA, &CommandProcessor::setReadOnly, &CommandProcessor::queryPlain},
    {CommandId::SA00, CommandId::SA00, &CommandProcessor::setStore, &CommandProcessor::queryPlain},
    {CommandId::ULCK, CommandId::ULCK, &CommandProcessor::setUnlock, &CommandProcessor::queryPlain},
    {CommandId::ID00, CommandId::MD00, &CommandProcessor::setText, &CommandProcessor::queryText},
    {CommandId::BAS00, CommandId::BAS00, &CommandProcessor::setBootArea, &CommandProcessor::queryPlain},
    {CommandId::SDR00, CommandId::PBS00, &CommandProcessor::setProcedure, &CommandProcessor::queryStatus},
    {CommandId::XMLVR, CommandId::XMLVR, &CommandProcessor::setReadOnly, &CommandProcessor::queryPlain},
    {CommandId::DV00, CommandId::DV00, &CommandProcessor::setText, &CommandProcessor::queryText},
}};

CommandProcessor::CommandProcessor(const QString &model, int procedureMs, bool asShipped)
    : specs_(CameraParameterSpecs()), procedureMs_(procedureMs), asShipped_(asShipped)
{
    values_ = defaultValues();
    for (auto &area : persistent_.areas)
        area = values_;
    for (auto &table : lut_)
        for (int i = 0; i < kLutSize; ++i)
            table[i] = (i * kLutMax + (kLutSize - 1) / 2) / (kLutSize - 1);
    for (auto &table : shading_)
        table.fill(kShadingUnity);
    SetModel(model);
}

ParameterSet CommandProcessor::defaultValues() const
{
    ParameterSet values{};
    for (int id = 0; id < kCommandCount; ++id)
        values[id] = specs_[id].initial;
    for (const ProcedureRow &row : kProcedures)
        values[row.statusId] = row.idleCode;
    values[CommandId::XMLVR] = kXmlVersion;
    if (asShipped_)
        ApplyShippedValues(values);
    return values;
}

void CommandProcessor::PowerUp(std::int64_t nowUs)
{
    values_ = defaultValues();
    bootFromFlash();
    restart(nowUs);
    powerOnUs_ = nowUs;
    baud_ = kResetBaud;
}

void CommandProcessor::bootFromFlash()
{
    values_[CommandId::BAS00] = persistent_.bootArea;
    loadArea(persistent_.bootArea);
}

// What a reset and a power-up both forget: the unlock, running procedures, the line counters.
void CommandProcessor::restart(std::int64_t nowUs)
{
    unlocked_ = false;
    busyPolls_.clear();
    counters_ = {};
    for (Counter &counter : counters_)
        counter.markUs = nowUs;
}

void CommandProcessor::SetModel(const QString &model)
{
    persistent_.identity.model = model;
    CameraModel identified;
    identified.Assign(model);
    modelCode_ = identified.Code();
}

QByteArray CommandProcessor::MnemonicOfLine(const QByteArray &line)
{
    int end = line.indexOf('=');
    if (end < 0)
        end = line.indexOf('?');
    if (end < 0)
        return {};
    return line.left(end).trimmed().toUpper();
}

CameraReply CommandProcessor::Process(const QByteArray &rawLine, std::int64_t nowUs)
{
    if (!powerOnUs_)
        powerOnUs_ = nowUs;
    QByteArray line = rawLine;
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.trimmed().isEmpty())
        return {};

    const int equals = line.indexOf('=');
    const bool isQuery = equals < 0;
    const int question = line.indexOf('?');
    if (isQuery && (question < 0 || !line.mid(question + 1).trimmed().isEmpty()))
        return answer(kSyntax);

    const QByteArray mnemonic = MnemonicOfLine(line);
    const int id = mnemonic.isEmpty() ? -1 : CommandTable().FindMnemonic(QString::fromLatin1(mnemonic));
    if (id < 0)
        return answer(kUnknownCommand);
    if (!CameraModel::IsSupportedCommand(modelCode_, id))
        return answer(kNotSupported);

    const Handler *handler = handlerOf(id);
    if (isQuery)
        return answer(handler ? (this->*handler->query)(id, nowUs) : queryPlain(id, nowUs));
    const QByteArray value = line.mid(equals + 1);
    return handler ? (this->*handler->set)(id, value, nowUs) : setPlain(id, value, nowUs);
}

const CommandProcessor::Handler *CommandProcessor::handlerOf(int id) const
{
    for (const Handler &handler : kHandlers)
        if (id >= handler.firstId && id <= handler.lastId)
            return &handler;
    return nullptr;
}

CameraReply CommandProcessor::answer(const QByteArray &line)
{
    CameraReply reply;
    reply.line = line;
    return reply;
}

CameraReply CommandProcessor::complete()
{
    return answer(kComplete);
}

QByteArray CommandProcessor::reply(int id, const QByteArray &value) const
{
    return QByteArray(kCommandRows[id].mnemonic) + '=' + value;
}

QByteArray CommandProcessor::reply(int id, std::int64_t value) const
{
    return reply(id, QByteArray::number(static_cast<qlonglong>(value)));
}

std::optional<std::int64_t> CommandProcessor::parseInRange(int id, const QByteArray &value, CameraReply &refusal) const
{
    const std::optional<std::int64_t> number = parseInteger(value);
    if (!number) {
        refusal = answer(kInvalidValue);
        return std::nullopt;
    }
    if (*number < specs_[id].minimum || *number > specs_[id].maximum) {
        refusal = answer(kOutOfRange);
        return std::nullopt;
    }
    return number;
}

// Plain parameters: any value within the limits is kept as it is.
CameraReply CommandProcessor::setPlain(int id, const QByteArray &value, std::int64_t)
{
    CameraReply refusal;
    const std::optional<std::int64_t> number = parseInRange(id, value, refusal);
    if (!number)
        return refusal;
    values_[id] = *number;
    return complete();
}

QByteArray CommandProcessor::queryPlain(int id, std::int64_t)
{
    return reply(id, values_[id]);
}

CameraReply CommandProcessor::setReadOnly(int, const QByteArray &, std::int64_t)
{
    return answer(kReadOnly);
}

QString *CommandProcessor::textOf(int id)
{
    const TextRow *row = textRow(id);
    return row ? &(persistent_.identity.*(row->field)) : nullptr;
}

CameraReply CommandProcessor::setText(int id, const QByteArray &value, std::int64_t)
{
    const TextRow *row = textRow(id);
    if (!row->writable)
        return answer(kReadOnly);
    if (id == CommandId::ID00) {
        // One unlock admits one write, whether it succeeds or not.
        const bool unlocked = unlocked_;
        unlocked_ = false;
        if (!unlocked)
            return answer(kLocked);
    }
    const QString text = QString::fromLatin1(value);
    if (text.size() > row->maxLength)
        return answer(kTooLong);
    if (id == CommandId::DV00 && !isDottedVersion(text))
        return answer(kInvalidValue);
    if (id == CommandId::MD00)
        SetModel(text);
    else
        *textOf(id) = text;
    CameraReply reply = complete();
    reply.persistentChanged = true;
    return reply;
}

QByteArray CommandProcessor::queryText(int id, std::int64_t)
{
    return reply(id, textOf(id)->toLatin1());
}

CameraReply CommandProcessor::setBaudCode(int, const QByteArray &value, std::int64_t)
{
    const std::optional<std::int64_t> code = parseInteger(value);
    if (!code)
        return answer(kInvalidValue);
    const std::optional<int> baud = BaudOfCode(static_cast<int>(*code));
    if (!baud)
        return answer(kOutOfRange);
    CameraReply reply = complete();
    reply.newBaud = *baud;
    return reply;
}

QByteArray CommandProcessor::queryBaudCode(int id, std::int64_t)
{
    return reply(id, CodeOfBaud(baud_).value_or(0));
}

CameraReply CommandProcessor::setReset(int id, const QByteArray &value, std::int64_t nowUs)
{
    if (!parseInteger(value))
        return answer(kInvalidValue);
    values_[id] = 0;
    loadArea(persistent_.bootArea);
    restart(nowUs);
    CameraReply reply = complete();
    reply.newBaud = kResetBaud;
    return reply;
}

CameraReply CommandProcessor::setWindow(int id, const QByteArray &value, std::int64_t)
{
    CameraReply refusal;
    const std::optional<std::int64_t> number = parseInRange(id, value, refusal);
    if (!number)
        return refusal;
    const int binning = static_cast<int>(values_[CommandId::HB]);
    for (const WindowRow &row : kWindows) {
        if (id != row.widthId && id != row.offsetId)
            continue;
        const SensorGeometry::Window current{static_cast<int>(values_[row.widthId]),
                                             static_cast<int>(values_[row.offsetId])};
        const SensorGeometry::Window adopted =
            id == row.widthId ? SensorGeometry::WithWidth(current, static_cast<int>(*number), binning)
                              : SensorGeometry::WithOffset(current, static_cast<int>(*number), binning);
        values_[row.widthId] = adopted.width;
        values_[row.offsetId] = adopted.offset;
    }
    return complete();
}

CameraReply CommandProcessor::setBinning(int id, const QByteArray &value, std::int64_t)
{
    CameraReply refusal;
    const std::optional<std::int64_t> number = parseInRange(id, value, refusal);
    if (!number)
        return refusal;
    const int oldBinning = static_cast<int>(values_[id]);
    const int newBinning = static_cast<int>(*number);
    for (const WindowRow &row : kWindows) {
        const SensorGeometry::Window adopted = SensorGeometry::Rebinned(
            {static_cast<int>(values_[row.widthId]), static_cast<int>(values_[row.offsetId])}, oldBinning, newBinning);
        values_[row.widthId] = adopted.width;
        values_[row.offsetId] = adopted.offset;
    }
    values_[id] = newBinning;
    return complete();
}

std::int64_t CommandProcessor::linePeriod() const
{
    const SensorGeometry::LinkSetup setup{static_cast<int>(values_[CommandId::WTC]), static_cast<int>(values_[CommandId::BA]),
                                          static_cast<int>(values_[CommandId::CLCFG]),
                                          static_cast<int>(values_[CommandId::CLCF])};
    return std::max(values_[CommandId::LR], SensorGeometry::MinLinePeriod(setup));
}

QByteArray CommandProcessor::queryComputed(int id, std::int64_t nowUs)
{
    const SensorGeometry::LinkSetup setup{static_cast<int>(values_[CommandId::WTC]), static_cast<int>(values_[CommandId::BA]),
                                          static_cast<int>(values_[CommandId::CLCFG]),
                                          static_cast<int>(values_[CommandId::CLCF])};
    const std::int64_t minPeriod = SensorGeometry::MinLinePeriod(setup);
    switch (id) {
    case CommandId::LRMIN:
        return reply(id, minPeriod);
    case CommandId::PEMAX:
        return reply(id, SensorGeometry::MaxExposure(values_[CommandId::LR], minPeriod));
    case CommandId::PEMIN:
        return reply(id, SensorGeometry::MinExposure(static_cast<int>(values_[CommandId::CLCF])));
    default: {
        const std::int64_t minutes = (nowUs - powerOnUs_.value_or(nowUs)) / 60'000'000;
        return reply(id, kBaseTemperature + std::min<std::int64_t>(minutes, kWarmUp));
    }
    }
}

CameraReply CommandProcessor::setProcedure(int id, const QByteArray &value, std::int64_t nowUs)
{
    if (procedureReportedBy(id))
        return answer(kReadOnly);
    const std::optional<std::int64_t> number = parseInteger(value);
    if (!number)
        return answer(kInvalidValue);
    const ProcedureRow *row = procedureStartedBy(id, *number);
    if (!row)
        return setPlain(id, value, nowUs);
    if (row->requiredId >= 0 && !CameraModel::IsSupportedCommand(modelCode_, row->requiredId))
        return answer(kOutOfRange);

    const auto forced = forcedCodes_.find(row->statusId);
    const int code = forced != forcedCodes_.end() ? forced->second : row->successCode;
    values_[row->statusId] = code;
    // One-shot modes fall back to off once they are done.
    values_[id] = 0;
    if (code == row->successCode) {
        if (row->effectId1 >= 0)
            values_[row->effectId1] = row->effectValue1;
        if (row->effectId2 >= 0)
            values_[row->effectId2] = row->effectValue2;
    }
    CameraReply reply = complete();
    if (row->pixel)
        busyPolls_[row->statusId] = kBusyPolls;
    else
        reply.workMs = procedureMs_;
    return reply;
}

QByteArray CommandProcessor::queryStatus(int id, std::int64_t nowUs)
{
    const auto busy = busyPolls_.find(id);
    if (busy != busyPolls_.end()) {
        if (busy->second > 0) {
            --busy->second;
            return reply(id, 0);
        }
        busyPolls_.erase(busy);
    }
    return queryPlain(id, nowUs);
}

// The index commands (LUTIG, LUTIR, LUTIB) are plain parameters; the value commands sit three
// ids above their index command.
CameraReply CommandProcessor::setLutValue(int id, const QByteArray &value, std::int64_t)
{
    CameraReply refusal;
    const std::optional<std::int64_t> number = parseInRange(id, value, refusal);
    if (!number)
        return refusal;
    lutCell(id - (CommandId::LUTG - CommandId::LUTIG)) = *number;
    return complete();
}

QByteArray CommandProcessor::queryLutValue(int id, std::int64_t)
{
    return reply(id, lutCell(id - (CommandId::LUTG - CommandId::LUTIG)));
}

CameraReply CommandProcessor::setShadingValue(int id, const QByteArray &value, std::int64_t)
{
    CameraReply refusal;
    const std::optional<std::int64_t> number = parseInRange(id, value, refusal);
    if (!number)
        return refusal;
    shadingCell() = *number;
    return complete();
}

QByteArray CommandProcessor::queryShadingValue(int id, std::int64_t)
{
    return reply(id, shadingCell());
}

// Indexes are clamped because a test may have forced any value into them.
std::int64_t &CommandProcessor::lutCell(int indexId)
{
    const auto index = std::clamp<std::int64_t>(values_[indexId], 0, kLutSize - 1);
    return lut_[indexId - CommandId::LUTIG][index];
}

std::int64_t &CommandProcessor::shadingCell()
{
    const auto channel = std::clamp<std::int64_t>(values_[CommandId::SDDS], 0, 2);
    const auto index = std::clamp<std::int64_t>(values_[CommandId::SDDI], 1, 1024);
    return shading_[channel][index - 1];
}

void CommandProcessor::loadArea(int area)
{
    for (int id = 0; id < kCommandCount; ++id)
        if (specs_[id].stored)
            values_[id] = persistent_.areas[area][id];
    values_[CommandId::EA] = area;
}

void CommandProcessor::storeArea(int area)
{
    for (int id = 0; id < kCommandCount; ++id)
        if (specs_[id].stored)
            persistent_.areas[area][id] = values_[id];
}

CameraReply CommandProcessor::setLoad(int id, const QByteArray &value, std::int64_t)
{
    const std::optional<std::int64_t> area = parseInteger(value);
    if (!area)
        return answer(kInvalidValue);
    if (*area < 0 || *area >= kFlashAreaCount)
        return answer(kOutOfRange);
    values_[id] = *area;
    loadArea(static_cast<int>(*area));
    return complete();
}

// "SA" stores into a user area (1..3), "SA00" into the factory area and takes only 0.
CameraReply CommandProcessor::setStore(int id, const QByteArray &value, std::int64_t)
{
    const std::optional<std::int64_t> area = parseInteger(value);
    if (!area)
        return answer(kInvalidValue);
    const bool factory = id == CommandId::SA00;
    if (factory ? *area != 0 : (*area < 1 || *area >= kFlashAreaCount))
        return answer(kOutOfRange);
    values_[id] = *area;
    storeArea(static_cast<int>(*area));
    CameraReply reply = complete();
    reply.persistentChanged = true;
    return reply;
}

CameraReply CommandProcessor::setBootArea(int id, const QByteArray &value, std::int64_t)
{
    CameraReply refusal;
    const std::optional<std::int64_t> area = parseInRange(id, value, refusal);
    if (!area)
        return refusal;
    values_[id] = *area;
    persistent_.bootArea = static_cast<int>(*area);
    CameraReply reply = complete();
    reply.persistentChanged = true;
    return reply;
}

CameraReply CommandProcessor::setUnlock(int, const QByteArray &value, std::int64_t)
{
    const std::optional<std::int64_t> code = parseInteger(value);
    if (!code)
        return answer(kInvalidValue);
    unlocked_ = *code == kUnlockCode;
    return unlocked_ ? complete() : answer(kWrongCode);
}

// Counter n: CEn enable, CEAn (a plain setting), CRn reset, CVn lines counted, CSn running.
namespace {
enum CounterMember { kEnable = 0, kEdge = 1, kReset = 2, kCount = 3, kState = 4 };
constexpr int kCounterStride = 5;
} // namespace

void CommandProcessor::advanceCounter(int counter, std::int64_t nowUs)
{
    Counter &c = counters_[counter];
    if (values_[CommandId::CE0 + kCounterStride * counter] == 0) {
        c.markUs = nowUs;
        return;
    }
    const std::int64_t period = linePeriod(); // 10 ns units
    const std::int64_t lines = (nowUs - c.markUs) * 100 / period;
    c.count += lines;
    c.markUs += lines * period / 100;
}

CameraReply CommandProcessor::setCounter(int id, const QByteArray &value, std::int64_t nowUs)
{
    const int counter = (id - CommandId::CE0) / kCounterStride;
    switch ((id - CommandId::CE0) % kCounterStride) {
    case kReset: {
        const std::optional<std::int64_t> number = parseInteger(value);
        if (!number)
            return answer(kInvalidValue);
        counters_[counter] = {0, nowUs};
        return complete();
    }
    case kCount:
    case kState:
        return answer(kReadOnly);
    default:
        advanceCounter(counter, nowUs);
        return setPlain(id, value, nowUs);
    }
}

QByteArray CommandProcessor::queryCounter(int id, std::int64_t nowUs)
{
    const int counter = (id - CommandId::CE0) / kCounterStride;
    const int enableId = CommandId::CE0 + kCounterStride * counter;
    switch ((id - CommandId::CE0) % kCounterStride) {
    case kCount:
        advanceCounter(counter, nowUs);
        return reply(id, counters_[counter].count);
    case kState:
        return reply(id, values_[enableId] != 0 ? 1 : 0);
    default:
        return queryPlain(id, nowUs);
    }
}

std::optional<std::int64_t> CommandProcessor::Value(const QString &mnemonic) const
{
    const int id = CommandTable().FindMnemonic(mnemonic);
    if (id < 0 || kCommandRows[id].valueType == ValueType::Text)
        return std::nullopt;
    return values_[id];
}

bool CommandProcessor::SetValue(const QString &mnemonic, std::int64_t value)
{
    const int id = CommandTable().FindMnemonic(mnemonic);
    if (id < 0 || kCommandRows[id].valueType == ValueType::Text)
        return false;
    values_[id] = value;
    if (id == CommandId::BAS00)
        persistent_.bootArea = static_cast<int>(std::clamp<std::int64_t>(value, 0, kFlashAreaCount - 1));
    return true;
}

QString CommandProcessor::Text(const QString &mnemonic) const
{
    const int id = CommandTable().FindMnemonic(mnemonic);
    const TextRow *row = id < 0 ? nullptr : textRow(id);
    return row ? persistent_.identity.*(row->field) : QString();
}

bool CommandProcessor::SetText(const QString &mnemonic, const QString &text)
{
    const int id = CommandTable().FindMnemonic(mnemonic);
    QString *field = id < 0 ? nullptr : textOf(id);
    if (!field)
        return false;
    *field = text;
    return true;
}

std::int64_t CommandProcessor::LutEntry(int channelIndexId, int index) const
{
    return lut_[channelIndexId - CommandId::LUTIG][index];
}

std::int64_t CommandProcessor::ShadingEntry(int channel, int index) const
{
    return shading_[channel][index - 1];
}

void CommandProcessor::SetShadingEntry(int channel, int index, std::int64_t value)
{
    shading_[channel][index - 1] = value;
}

bool CommandProcessor::ForceResultCode(const QString &mnemonic, int code)
{
    const int id = CommandTable().FindMnemonic(mnemonic.toUpper());
    bool found = false;
    for (const ProcedureRow &row : kProcedures) {
        if (row.startId == id || row.statusId == id) {
            forcedCodes_[row.statusId] = code;
            found = true;
        }
    }
    return found;
}

void CommandProcessor::Restore(const PersistentState &state)
{
    persistent_ = state;
    persistent_.bootArea = std::clamp(persistent_.bootArea, 0, kFlashAreaCount - 1);
    SetModel(persistent_.identity.model);
    bootFromFlash();
}
