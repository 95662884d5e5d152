#include "python/CameraHandle.h"

#include <algorithm>
#include <limits>

#include <QFileInfo>

#include "core/catalog/ParameterCatalog.h"
#include "core/operations/CameraReadouts.h"
#include "core/operations/IdentityWrites.h"
#include "core/common/TextFiles.h"
#include "core/formats/GammaFile.h"
#include "core/operations/CameraIdentity.h"
#include "core/operations/CameraProcedures.h"
#include "core/operations/FlashAreas.h"
#include "core/operations/FullReadSet.h"
#include "core/operations/IdentifyModel.h"
#include "core/operations/LutExchange.h"
#include "core/operations/RawLineExchange.h"
#include "core/operations/SettingFileDiff.h"
#include "core/operations/SettingFileLoad.h"
#include "core/operations/SettingFileSave.h"
#include "core/operations/ShadingExchange.h"
#include "python/ProgressRelay.h"
#include "python/PythonErrors.h"

namespace py = pybind11;

namespace {

// The same waits as qnctl's.
constexpr unsigned kQueryMs = 5000;
constexpr unsigned kSetMs = 5000;
constexpr int kPercent = 100;
constexpr int kLutChannels = 3;

QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

// "cameraId" -> "camera_id": the identity's keys as Python spells them.
std::string snakeCase(const char *key)
{
    std::string name;
    for (const char *c = key; *c != '\0'; ++c) {
        if (*c >= 'A' && *c <= 'Z') {
            name += '_';
            name += static_cast<char>(*c - 'A' + 'a');
        } else {
            name += *c;
        }
    }
    return name;
}

// The value as qnctl's command line would take it: a number's digits or an entry's text.
QString valueText(const QString &name, const py::handle &value)
{
    if (py::isinstance<py::int_>(value) || py::isinstance<py::str>(value))
        return text(py::str(value).cast<std::string>());
    ThrowUsage(QStringLiteral("%1: give a whole number or a list entry's text").arg(name));
}

// Three sequences of `count` whole numbers within 0..maximum, checked before anything is sent.
template <typename Table>
Table tablesFrom(const py::object &tables, int count, std::int64_t maximum, const char *what)
{
    Table result{};
    const QString size = QStringLiteral("give three sequences of %1 whole numbers for the %2").arg(count).arg(what);
    if (!py::isinstance<py::sequence>(tables) || py::isinstance<py::str>(tables) || py::len(tables) != 3)
        ThrowUsage(size);
    const py::sequence channels = tables.cast<py::sequence>();
    for (std::size_t channel = 0; channel < 3; ++channel) {
        const py::object values = channels[channel];
        if (!py::isinstance<py::sequence>(values) || py::len(values) != static_cast<std::size_t>(count))
            ThrowUsage(size);
        const py::sequence entries = values.cast<py::sequence>();
        for (std::size_t index = 0; index < static_cast<std::size_t>(count); ++index) {
            const py::object entry = entries[index];
            if (!py::isinstance<py::int_>(entry))
                ThrowUsage(size);
            const long long number = entry.cast<long long>();
            if (number < 0 || number > maximum) {
                ThrowUsage(QStringLiteral("%1 table %2, entry %3: %4 is outside 0..%5")
                               .arg(QString::fromLatin1(what))
                               .arg(channel)
                               .arg(index)
                               .arg(number)
                               .arg(maximum));
            }
            result[channel][index] = static_cast<std::int32_t>(number);
        }
    }
    return result;
}

// A value of a difference: the number it shows, or its text ("not read").
py::object differenceValue(const QString &value)
{
    bool number = false;
    const int parsed = value.toInt(&number);
    if (number)
        return py::int_(parsed);
    return py::str(value.toStdString());
}

template <typename Table>
py::tuple tupleOf(const Table &table)
{
    py::tuple channels(table.size());
    for (std::size_t channel = 0; channel < table.size(); ++channel) {
        py::list values;
        for (const std::int32_t value : table[channel])
            values.append(value);
        channels[channel] = values;
    }
    return channels;
}

} // namespace

// One call at a time on a camera: a second thread is refused at once rather than left to
// mix its exchanges into the first one's.
// Even a look at whether it is open takes a turn: close() destroys the session on another
// thread with the interpreter lock released.
class CameraHandle::Turn {
public:
    enum class Need { Open, Either };

    explicit Turn(CameraHandle &camera, Need need = Need::Open) : camera_(camera)
    {
        if (camera_.busy_.exchange(true))
            ThrowUsage(QStringLiteral("this camera is in use by another thread"));
        if (need == Need::Open && !camera_.session_) {
            camera_.busy_ = false;
            ThrowUsage(QStringLiteral("this camera is closed"));
        }
        camera_.dialogs_.BeginCall();
    }
    ~Turn() { camera_.busy_ = false; }
    Turn(const Turn &) = delete;
    Turn &operator=(const Turn &) = delete;

    // Runs core work with the interpreter lock released, then raises what a callback raised.
    template <typename Work>
    auto Run(Work &&work, ProgressRelay *progress = nullptr)
    {
        struct Raise {
            CameraHandle &camera;
            ProgressRelay *progress;
            ~Raise() noexcept(false)
            {
                if (std::uncaught_exceptions() > 0)
                    return;
                if (std::optional<py::error_already_set> error = camera.dialogs_.TakeCallbackError())
                    throw std::move(*error);
                if (progress != nullptr)
                    progress->RaiseIfFailed();
            }
        } raise{camera_, progress};
        const py::gil_scoped_release release;
        return work();
    }
    CameraSession &Session() { return *camera_.session_; }

private:
    CameraHandle &camera_;
};

CameraHandle::CameraHandle(const OpenRequest &request) : dialogs_(request.onMessage)
{
    if (request.port && request.cameraLink)
        ThrowUsage(QStringLiteral("give a port or camera_link, not both"));
    QStringList arguments;
    if (request.port)
        arguments << QStringLiteral("--port") << text(*request.port);
    if (request.cameraLink)
        arguments << QStringLiteral("--camera-link")
                  << QStringLiteral("%1:%2").arg(request.cameraLink->first).arg(request.cameraLink->second);
    if (!py::isinstance<py::str>(request.rate) && !py::isinstance<py::int_>(request.rate))
        ThrowUsage(QStringLiteral("rate: give \"auto\" or a link rate"));
    arguments << QStringLiteral("--rate") << text(py::str(request.rate).cast<std::string>());
    if (request.mode)
        arguments << QStringLiteral("--mode") << text(*request.mode);
    if (request.fast)
        arguments << QStringLiteral("--fast");
    if (request.waitSeconds)
        arguments << QStringLiteral("--wait") << QString::number(*request.waitSeconds);
    if (request.settings)
        arguments << QStringLiteral("--settings") << text(*request.settings);
    // The link is chosen by the session's option rules, which qnctl's are too, so both refuse
    // the same choices alike.
    const SessionParse parse = ParseSessionOptions(arguments);
    if (!parse.error.isEmpty())
        ThrowUsage(parse.error.startsWith(QLatin1String("--")) ? parse.error.mid(2) : parse.error);
    options_ = parse.options;

    ExitStatus status = ExitStatus::Done;
    {
        const py::gil_scoped_release release;
        session_ = std::make_unique<CameraSession>(options_, dialogs_);
        status = options_.deviceWaitSeconds ? session_->ConnectWhenThere(*options_.deviceWaitSeconds)
                                            : session_->Connect();
        if (status != ExitStatus::Done)
            session_.reset();
    }
    if (std::optional<py::error_already_set> error = dialogs_.TakeCallbackError())
        throw std::move(*error);
    // The session's one message says it all ("No camera: Cannot open ...").
    if (status != ExitStatus::Done)
        fail(status, QString());
}

CameraHandle::~CameraHandle()
{
    if (session_) {
        const py::gil_scoped_release release;
        session_.reset();
    }
}

void CameraHandle::Close()
{
    Turn turn(*this, Turn::Need::Either);
    if (session_)
        turn.Run([this] { session_.reset(); });
}

bool CameraHandle::IsOpen()
{
    const Turn turn(*this, Turn::Need::Either);
    return session_ != nullptr;
}

QString CameraHandle::Link()
{
    const Turn turn(*this, Turn::Need::Either);
    return session_ ? session_->LinkDescription() : QString();
}

void CameraHandle::fail(ExitStatus status, const QString &what) const
{
    const QString shown = dialogs_.Shown().join(QStringLiteral("; "));
    if (what.isEmpty())
        throw CameraError(status, shown.isEmpty() ? QStringLiteral("no camera") : shown);
    throw CameraError(status, shown.isEmpty() ? what : what + QStringLiteral(": ") + shown);
}

void CameraHandle::failLastExchange(const QString &what) const
{
    if (session_->LostLink())
        fail(ExitStatus::NoCamera, what);
    const ExitStatus status = StatusOfLastExchange(session_->command());
    fail(status == ExitStatus::Done ? ExitStatus::Refused : status, what);
}

void CameraHandle::checkShadingTransfer(const QString &what, bool modeOn, int stopped) const
{
    if (!modeOn)
        failLastExchange(what);
    if (stopped != 0) {
        fail(ExitStatus::NoCamera, QStringLiteral("the camera stopped answering at value %1 of %2")
                                       .arg(stopped)
                                       .arg(kShadingChannels * kShadingValues));
    }
}

py::object CameraHandle::valueObject(const ParameterCatalog &catalog, const Parameter &parameter,
                                     std::int32_t value) const
{
    const QString entry = parameter.IsList() ? catalog.EntryText(parameter, value) : QString();
    if (!entry.isEmpty())
        return py::str(entry.toStdString());
    return py::int_(value);
}

py::dict CameraHandle::Identify()
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const CameraIdentity identity =
        turn.Run([&session] { return ReadCameraIdentity(session.command(), session.commandTable()); });
    if (identity.firstFailure != Command::Outcome::None || session.LostLink())
        failLastExchange(QStringLiteral("identify"));
    py::dict result;
    result["model"] = session.cameraModel().Name().toStdString();
    result["model_code"] = session.cameraModel().Code();
    for (std::size_t index = 0; index < kIdentityFields.size(); ++index)
        result[py::str(snakeCase(kIdentityFields[index].key))] = identity.texts[index].toStdString();
    return result;
}

py::object CameraHandle::Get(const std::string &name)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const ParameterCatalog catalog(session.controlTable(), session.commandTable());
    const ParameterLookup lookup = catalog.Find(text(name));
    // Not a parameter: one of the readouts the camera gives on request, as a number.
    const NamedReadout *readout = lookup.parameter ? nullptr : FindReadout(text(name));
    if (readout != nullptr) {
        const ReadoutValue value = turn.Run([&] { return ReadNamedReadout(session.command(), *readout); });
        if (!value.value)
            failLastExchange(QStringLiteral("%1 not read").arg(QLatin1String(readout->mnemonic)));
        return py::int_(*value.value);
    }
    if (!lookup.parameter)
        ThrowUsage(lookup.error);
    const Parameter &parameter = *lookup.parameter;
    std::int32_t value = 0;
    const bool read = turn.Run([&] { return session.command().QueryValue(parameter.commandId, value, kQueryMs); });
    if (!read)
        failLastExchange(QStringLiteral("%1 not read").arg(parameter.mnemonic));
    session.controlTable().SetDataValue(parameter.controlId, value);
    return valueObject(catalog, parameter, value);
}

py::tuple CameraHandle::Counter(int counter, bool reset)
{
    if (counter < 0 || counter >= kCameraCounters)
        ThrowUsage(QStringLiteral("counter %1: the counters are 0 to %2").arg(counter).arg(kCameraCounters - 1));
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const CounterReadout readout = turn.Run([&] {
        if (reset)
            ResetCounter(session.command(), counter);
        return ReadCounter(session.command(), counter);
    });
    if (!readout.value)
        failLastExchange(QStringLiteral("counter %1 not read").arg(counter));
    return py::make_tuple(*readout.value, readout.status.toStdString());
}

void CameraHandle::WriteIdentity(const std::string &value, bool cameraId)
{
    const QString id = text(value);
    Turn turn(*this);
    CameraSession &session = turn.Session();
    // The windows' rules, before anything is sent.
    QString refusal = cameraId ? CameraIdRefusal(id) : UserIdRefusal(id);
    if (cameraId && !session.IsExtended())
        refusal = QStringLiteral("the camera id is written in the extended mode (open with mode=\"extended\")");
    else if (cameraId && !CameraIdFields(id))
        refusal = QStringLiteral("a camera id has ten characters, %1 has %2").arg(id).arg(id.size());
    if (!refusal.isEmpty())
        ThrowUsage(refusal);
    const IdentityWrite write = turn.Run([&] {
        return cameraId ? SaveCameraId(session.command(), session.dialogs(), *CameraIdFields(id))
                        : SaveUserId(session.command(), session.dialogs(), id);
    });
    if (write != IdentityWrite::Written) {
        const ExitStatus status = StatusOfLastExchange(session.command());
        fail(status == ExitStatus::Done ? ExitStatus::Refused : status,
             cameraId ? QStringLiteral("camera id not written") : QStringLiteral("user id not written"));
    }
}

void CameraHandle::Set(const py::object &values, const py::kwargs &more)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const ParameterCatalog catalog(session.controlTable(), session.commandTable());
    // Every name and value is checked before the first is sent, as qnctl's set does.
    std::vector<std::pair<Parameter, std::int32_t>> writes;
    const auto plan = [&](const py::dict &assignments) {
        for (const auto &[key, value] : assignments) {
            if (!py::isinstance<py::str>(key))
                ThrowUsage(QStringLiteral("set: parameter names are texts"));
            const QString name = text(key.cast<std::string>());
            const ParameterLookup lookup = catalog.Find(name);
            if (!lookup.parameter)
                ThrowUsage(lookup.error);
            const ValueLookup parsed = catalog.ParseValue(*lookup.parameter, valueText(name, value));
            if (!parsed.value)
                ThrowUsage(parsed.error);
            writes.emplace_back(*lookup.parameter, *parsed.value);
        }
    };
    if (!values.is_none()) {
        if (!py::isinstance<py::dict>(values))
            ThrowUsage(QStringLiteral("set: give a dict of names and values, or name=value arguments"));
        plan(values.cast<py::dict>());
    }
    plan(more);
    if (writes.empty())
        ThrowUsage(QStringLiteral("set: give at least one name and value"));
    for (const auto &[parameter, value] : writes) {
        const bool written = turn.Run([&] { return session.command().SetValue(parameter.commandId, value, kSetMs); });
        if (!written)
            failLastExchange(QStringLiteral("%1=%2 not taken").arg(parameter.mnemonic).arg(value));
        session.controlTable().SetDataValue(parameter.controlId, value);
    }
}

py::dict CameraHandle::Dump(const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    ControlTable &table = session.controlTable();
    const int mode = session.controlMode().Get();
    ProgressRelay relay(progress);
    std::size_t planned = 0;
    const std::vector<int> rows = turn.Run(
        [&] {
            planned = PlanFullRead(table, session.cameraModel(), mode).size();
            return ReadFullSet(table, session.command(), session.cameraModel(), mode,
                               [&relay](int percent) { relay(percent, kPercent); });
        },
        &relay);
    if (rows.size() != planned) {
        fail(rows.empty() ? ExitStatus::NoCamera : ExitStatus::Refused,
             QStringLiteral("%1 of %2 parameters were not read").arg(planned - rows.size()).arg(planned));
    }
    const ParameterCatalog catalog(table, session.commandTable());
    py::dict result;
    for (const Parameter &parameter : catalog.All()) {
        if (std::find(rows.begin(), rows.end(), parameter.row) != rows.end())
            result[py::str(parameter.mnemonic.toStdString())] =
                valueObject(catalog, parameter, table.GetDataValue(parameter.controlId));
    }
    return result;
}

void CameraHandle::Save(const std::string &pathText, bool shipping, bool force, const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const QString path = text(pathText);
    if (QFileInfo::exists(path) && !force)
        ThrowFile(path, QStringLiteral("exists; force=True replaces it"));
    ProgressRelay relay(progress);
    const SettingFileSave save = turn.Run(
        [&] {
            return ReadSettingFile(session.controlTable(), session.command(), session.cameraModel(),
                                   session.commandTable(), session.dialogs(), session.controlMode().Get(),
                                   shipping ? SettingFileVariant::ShippingData : SettingFileVariant::AllData,
                                   [&relay](int percent) { relay(percent, kPercent); });
        },
        &relay);
    if (!save.Complete()) {
        fail(save.read == 0 ? ExitStatus::NoCamera : ExitStatus::Refused,
             QStringLiteral("%1 of %2 parameters were not read; nothing written")
                 .arg(save.planned - save.read)
                 .arg(save.planned));
    }
    if (!WriteLinesAtomically(path, save.lines))
        ThrowFile(path, QStringLiteral("could not be written"));
}

void CameraHandle::Load(const std::string &pathText, const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const QString path = text(pathText);
    QByteArray bytes;
    if (!ReadFileBytes(path, bytes))
        ThrowFile(path, QStringLiteral("could not be read"));
    ProgressRelay relay(progress);
    const int refused = turn.Run(
        [&] {
            const SettingLoadHooks hooks{[&relay](int percent) { relay(percent, kPercent); }, {}, [&session] {
                                             IdentifyModel(session.command(), session.cameraModel(), session.dialogs());
                                         }};
            return LoadSettingPieces(SettingFilePieces(bytes), session.command(), session.commandTable(),
                                     session.controlTable(), session.cameraModel(), session.IsExtended(), hooks);
        },
        &relay);
    if (refused != 0)
        failLastExchange(QStringLiteral("%1: %2 lines not taken by the camera").arg(path).arg(refused));
}

py::list CameraHandle::Diff(const std::string &pathText, const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const QString path = text(pathText);
    ProgressRelay relay(progress);
    const SettingFileDiff diff = turn.Run(
        [&] {
            return DiffSettingFile(session.command(), session.commandTable(), session.controlTable(),
                                   session.cameraModel(), session.IsExtended(), path,
                                   [&relay](int percent) { relay(percent, kPercent); });
        },
        &relay);
    if (!diff.fileRead)
        ThrowFile(path, diff.fileError);
    if (diff.ChecksNothing()) {
        QStringList what{NothingVerifiedText(session.cameraModel(), session.IsExtended())};
        for (const UnreadableLine &line : diff.unreadable)
            what.append(UnreadableLineText(line));
        throw CameraError(ExitStatus::NothingVerified, path + QStringLiteral(": ") + what.join(QStringLiteral("; ")));
    }
    // A camera gone during the read leaves its parameters "not read": that is no difference.
    if (session.LostLink() || StatusOfLastExchange(session.command()) == ExitStatus::NoCamera)
        fail(ExitStatus::NoCamera, QStringLiteral("%1: the camera stopped answering").arg(path));
    py::list differences;
    for (const ParameterDifference &difference : diff.differences) {
        differences.append(py::make_tuple(difference.name.toStdString(), difference.mnemonic.toStdString(),
                                          differenceValue(difference.cameraValue),
                                          differenceValue(difference.fileValue)));
    }
    // An unreadable line is a difference, as for qnctl diff: loading it would set nothing.
    for (const UnreadableLine &line : diff.unreadable) {
        differences.append(py::make_tuple(QStringLiteral("line %1").arg(line.lineNumber).toStdString(), std::string(),
                                          std::string("unreadable"), line.text.toStdString()));
    }
    return differences;
}

std::string CameraHandle::Calibrate(const std::string &nameText)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const QString name = text(nameText);
    const QString problem = CheckProcedure(session, name);
    if (!problem.isEmpty())
        ThrowUsage(QStringLiteral("calibrate: ") + problem);
    const CameraProcedure procedure = *FindCameraProcedure(name);
    const ProcedureResult result = turn.Run([&] { return RunCameraProcedure(session.command(), procedure); });
    if (session.LostLink())
        fail(ExitStatus::NoCamera, name);
    if (result.failure != Command::Outcome::None)
        fail(StatusOfProcedure(result), result.started ? name + QStringLiteral(": result not read") : name);
    if (!result.succeeded)
        throw CalibrationError(name, result.code, result.text);
    return result.text.toStdString();
}

void CameraHandle::StoreArea(int area)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    if (!IsFlashArea(area))
        ThrowUsage(QStringLiteral("store_area: give the area, 1 to 3 (0, the factory area, in extended mode)"));
    if (area == kFactoryArea && !session.IsExtended())
        ThrowUsage(QStringLiteral("store_area(0): the factory area is stored in extended mode only"));
    if (!turn.Run([&] { return StoreFlashArea(session.command(), area, kStoreAreaTimeoutMs); }))
        failLastExchange(QStringLiteral("store in area %1").arg(area));
}

void CameraHandle::LoadArea(int area)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    if (!IsFlashArea(area))
        ThrowUsage(QStringLiteral("load_area: give the area, 0 (factory) to 3"));
    if (!turn.Run([&] { return LoadFlashArea(session.command(), area, kLoadAreaTimeoutMs); }))
        failLastExchange(QStringLiteral("load of area %1").arg(area));
}

py::list CameraHandle::Send(const std::string &lineText, int waitMs)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const QString line = text(lineText);
    if (const QString problem = RawLineProblem(line); !problem.isEmpty())
        ThrowUsage(QStringLiteral("send: ") + problem);
    if (waitMs < 0)
        ThrowUsage(QStringLiteral("send: wait_ms cannot be negative"));
    const std::optional<QStringList> received = turn.Run([&] {
        return ExchangeRawLine(session.command(), session.serialLink(), session.lineLog(), line,
                               static_cast<unsigned>(waitMs));
    });
    if (!received || received->isEmpty())
        fail(ExitStatus::NoCamera, QStringLiteral("no answer to %1 within %2 ms").arg(line).arg(waitMs));
    py::list lines;
    for (const QString &receivedLine : *received)
        lines.append(receivedLine.toStdString());
    return lines;
}

py::tuple CameraHandle::ReadShading(const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    ShadingTable table{};
    ProgressRelay relay(progress);
    bool modeOn = false;
    const int stopped = turn.Run(
        [&] {
            modeOn = ShadingModeOn(session.command(), session.dialogs());
            return modeOn ? ExchangeShading(session.command(), table, ShadingDirection::Read, ShadingShape{},
                                                     [&relay](int done, int total) { relay(done, total); }) : 0;
        },
        &relay);
    checkShadingTransfer(QStringLiteral("shading read"), modeOn, stopped);
    return tupleOf(table);
}

void CameraHandle::WriteShading(const py::object &tables, const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    ShadingTable table =
        tablesFrom<ShadingTable>(tables, kShadingValues, std::numeric_limits<std::int32_t>::max(), "shading");
    ProgressRelay relay(progress);
    bool modeOn = false;
    bool finished = false;
    const int stopped = turn.Run(
        [&] {
            modeOn = ShadingModeOn(session.command(), session.dialogs());
            if (!modeOn)
                return 0;
            const int at = ExchangeShading(session.command(), table, ShadingDirection::Write, ShadingShape{},
                                           [&relay](int done, int total) { relay(done, total); });
            finished = at == 0 && FinishShadingWrite(session.command());
            return at;
        },
        &relay);
    checkShadingTransfer(QStringLiteral("shading write"), modeOn, stopped);
    if (!finished)
        failLastExchange(QStringLiteral("shading tables not taken into use"));
}

void CameraHandle::StoreShading()
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    if (!turn.Run([&] { return StoreShadingTables(session.command()); }))
        failLastExchange(QStringLiteral("shading store"));
}

py::tuple CameraHandle::ReadLut(const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    GammaTables tables{};
    ProgressRelay relay(progress);
    const int total = kLutChannels * kLutEntries;
    const int read = turn.Run(
        [&] {
            int done = 0;
            for (int channel = 0; channel < kLutChannels; ++channel) {
                const int base = channel * kLutEntries;
                const int count = ReadLutEntries(session.command(), channel, tables[static_cast<std::size_t>(channel)],
                                                 [&relay, base, total](int entry) { relay(base + entry, total); });
                done += count;
                if (count < kLutEntries)
                    break;
            }
            return done;
        },
        &relay);
    if (read < total)
        failLastExchange(QStringLiteral("look-up tables read up to entry %1 of %2").arg(read).arg(total));
    return tupleOf(tables);
}

void CameraHandle::WriteLut(const py::object &tables, const py::object &progress)
{
    Turn turn(*this);
    CameraSession &session = turn.Session();
    const GammaTables values = tablesFrom<GammaTables>(tables, kLutEntries, kLutMaxValue, "look-up");
    ProgressRelay relay(progress);
    const int total = kLutChannels * kLutEntries;
    const int stopped = turn.Run(
        [&] {
            for (int channel = 0; channel < kLutChannels; ++channel) {
                const int base = channel * kLutEntries;
                const int at = WriteLutEntries(session.command(), channel, values[static_cast<std::size_t>(channel)],
                                               [&relay, base, total](int entry) { relay(base + entry, total); });
                if (at != 0)
                    return base + at;
            }
            return 0;
        },
        &relay);
    if (stopped != 0)
        fail(ExitStatus::NoCamera, QStringLiteral("the camera stopped answering at entry %1 of %2").arg(stopped).arg(total));
}
