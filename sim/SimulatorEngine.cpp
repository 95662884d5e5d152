#include "SimulatorEngine.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <array>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QFile>

#include "StateFile.h"

namespace {

constexpr int kBitsPerByte = 10;        // start, eight data bits, stop
constexpr int kMaxLineBytes = 4096;     // the camera's line buffer; longer lines are dropped
constexpr std::int64_t kChunkUs = 2000; // replies go out in slices of about this wire time
constexpr std::int64_t kSleepSliceUs = 20000;

std::int64_t byteMicros(int baud)
{
    return kBitsPerByte * 1'000'000LL / std::max(1, baud);
}

} // namespace

SimulatorEngine::SimulatorEngine(SimulatorOptions options)
    : options_(std::move(options)), processor_(options_.model, options_.procedureMs, options_.asShipped)
{
    processor_.SetBaud(options_.baud);
    if (!options_.statePath.isEmpty()) {
        if (const auto state = StateFile::Load(options_.statePath, processor_.Persistent()))
            processor_.Restore(*state);
    }
}

SimulatorEngine::~SimulatorEngine()
{
    Stop();
}

bool SimulatorEngine::Start()
{
    std::lock_guard lock(plugMutex_);
    if (link_.IsOpen())
        return true;
    const int baud = WithState([](CommandProcessor &processor, FaultPlan &) { return processor.Baud(); });
    return plugLocked(baud);
}

void SimulatorEngine::Stop()
{
    std::lock_guard lock(plugMutex_);
    unplugLocked(true);
}

void SimulatorEngine::HangUp()
{
    std::lock_guard lock(plugMutex_);
    unplugLocked(false);
}

void SimulatorEngine::Unplug()
{
    std::lock_guard lock(plugMutex_);
    unplugLocked(true);
}

// Plugged in already: pulled out first, so the tool sees the hang-up as it would.
bool SimulatorEngine::Replug(const PlugOptions &options)
{
    std::lock_guard lock(plugMutex_);
    unplugLocked(true);
    const auto [baud, identityChanged] = WithState([&](CommandProcessor &processor, FaultPlan &) {
        if (options.powerCycle)
            processor.PowerUp(SteadyMicros());
        if (options.model)
            processor.SetModel(*options.model);
        if (options.cameraId)
            processor.SetText(QStringLiteral("ID"), *options.cameraId);
        return std::pair{processor.Baud(), options.model || options.cameraId};
    });
    if (identityChanged)
        saveState();
    return plugLocked(baud);
}

void SimulatorEngine::PowerCycle()
{
    WithState([](CommandProcessor &processor, FaultPlan &) { processor.PowerUp(SteadyMicros()); });
}

bool SimulatorEngine::IsPlugged() const
{
    std::lock_guard lock(plugMutex_);
    return link_.IsOpen();
}

QString SimulatorEngine::SlavePath() const
{
    std::lock_guard lock(plugMutex_);
    return link_.SlavePath();
}

bool SimulatorEngine::plugLocked(int baud)
{
    if (!link_.Open(baud))
        return false;
    std::array<int, 2> pipeFds{};
    if (::pipe2(pipeFds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        link_.Close();
        return false;
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    linked_ = pointLinkPathLocked();
    partial_.clear();
    wireFreeUs_ = 0;
    stopping_ = false;
    worker_ = std::thread([this] { run(); });
    // A pseudo-terminal carries no line speed with its bytes: the camera reads the tool's
    // speed when the bytes arrive. Waking ahead of the tool's thread keeps that reading the
    // speed the bytes were sent at, even on a loaded machine. Without the privilege it simply
    // runs at normal priority.
    sched_param priority{};
    priority.sched_priority = 1;
    pthread_setschedparam(worker_.native_handle(), SCHED_FIFO, &priority);
    return true;
}

// A new link is made beside the path and renamed over it, so whoever opens the path finds
// either the old pty or the new one, never nothing.
bool SimulatorEngine::pointLinkPathLocked()
{
    if (options_.linkPath.isEmpty())
        return false;
    const QByteArray linkPath = QFile::encodeName(options_.linkPath);
    const QByteArray fresh = linkPath + ".new" + QByteArray::number(::getpid());
    ::unlink(fresh.constData());
    if (::symlink(QFile::encodeName(link_.SlavePath()).constData(), fresh.constData()) != 0)
        return false;
    if (::rename(fresh.constData(), linkPath.constData()) != 0) {
        ::unlink(fresh.constData());
        return false;
    }
    return true;
}

void SimulatorEngine::unplugLocked(bool removeLinkPath)
{
    // The path goes first: a tool that reopens it on the hang-up must not find the dead pty.
    if (removeLinkPath && linked_) {
        ::unlink(QFile::encodeName(options_.linkPath).constData());
        linked_ = false;
    }
    if (worker_.joinable()) {
        stopping_ = true;
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakeWrite_, &wake, 1);
        worker_.join();
    }
    if (wakeRead_ >= 0) {
        ::close(wakeRead_);
        ::close(wakeWrite_);
        wakeRead_ = wakeWrite_ = -1;
    }
    link_.Close();
}

void SimulatorEngine::run()
{
    std::array<char, 512> buffer{};
    while (!stopping_) {
        std::array<pollfd, 2> fds{{{link_.MasterFd(), POLLIN, 0}, {wakeRead_, POLLIN, 0}}};
        // Sleeps until bytes come or Stop and Unplug wake it: nothing to do in between.
        if (::poll(fds.data(), fds.size(), -1) <= 0)
            continue;
        if (fds[1].revents != 0)
            break;
        const int count = link_.Read(buffer.data(), static_cast<int>(buffer.size()));
        if (count < 0)
            break;
        if (count > 0)
            takeBytes(buffer.data(), count, SteadyMicros());
    }
}

// The rate rule: a byte counts only when the speed the tool set equals the camera's rate.
// Zero bytes (the tool's wake-up burst) are ignored whatever the speed.
void SimulatorEngine::takeBytes(const char *bytes, int count, std::int64_t readUs)
{
    const std::optional<int> speed = link_.LineSpeed();
    const auto cameraBaud = [this] {
        return WithState([](CommandProcessor &processor, FaultPlan &) { return processor.Baud(); });
    };
    int baud = cameraBaud();
    QByteArray garbage;
    for (int i = 0; i < count; ++i) {
        const char byte = bytes[i];
        if (byte == '\0') {
            log_.Add({WireEvent::Kind::ZeroByte, QByteArray(1, '\0'), baud, readUs, speed.value_or(0)});
            continue;
        }
        if (speed != baud) {
            garbage.append(byte);
            partial_.clear();
            continue;
        }
        // Bytes cannot arrive faster than the line carries them.
        wireFreeUs_ = std::max(readUs, wireFreeUs_) + byteMicros(baud);
        if (byte != '\n') {
            partial_.append(byte);
            if (partial_.size() > kMaxLineBytes)
                partial_.clear();
            continue;
        }
        QByteArray line;
        line.swap(partial_);
        handleLine(std::move(line), wireFreeUs_);
        if (stopping_)
            return;
        baud = cameraBaud(); // "CBDRT" and "CRS00" move the camera to another rate
    }
    if (!garbage.isEmpty())
        log_.AddGarbage(garbage, baud, readUs, speed.value_or(0));
}

bool SimulatorEngine::sleepUntil(std::int64_t timeUs)
{
    while (!stopping_) {
        const std::int64_t now = SteadyMicros();
        if (now >= timeUs)
            return true;
        SleepUntilMicros(std::min(timeUs, now + kSleepSliceUs));
    }
    return false;
}

void SimulatorEngine::handleLine(QByteArray line, std::int64_t lineEndUs)
{
    if (!sleepUntil(lineEndUs))
        return;
    if (line.endsWith('\r'))
        line.chop(1);

    struct Outcome {
        int baud;
        FaultPlan::Decision decision;
        CameraReply reply;
        std::optional<QByteArray> replacement;
    };
    const Outcome outcome = WithState([&](CommandProcessor &processor, FaultPlan &faults) {
        Outcome o{processor.Baud(), faults.OnLine(CommandProcessor::MnemonicOfLine(line)), {}, {}};
        if (!o.decision.silent && !o.decision.refusal)
            o.reply = processor.Process(line, SteadyMicros());
        if (o.decision.refusal || o.reply.line)
            o.replacement = faults.TakeReplacement();
        return o;
    });
    log_.Add({WireEvent::Kind::Received, line, outcome.baud, SteadyMicros(), outcome.baud});
    if (outcome.reply.persistentChanged)
        saveState();

    QByteArray bytes;
    if (outcome.replacement)
        bytes = *outcome.replacement;
    else if (outcome.decision.refusal)
        bytes = *outcome.decision.refusal + "\r\n";
    else if (outcome.reply.line)
        bytes = *outcome.reply.line + "\r\n";
    if (!bytes.isEmpty()) {
        const std::int64_t startUs = SteadyMicros() + options_.processingUs +
                                     1000LL * (outcome.decision.extraDelayMs + outcome.reply.workMs);
        if (!sleepUntil(startUs))
            return;
        sendPaced(bytes, outcome.baud);
    }
    if (outcome.reply.newBaud)
        WithState([&](CommandProcessor &processor, FaultPlan &) { processor.SetBaud(*outcome.reply.newBaud); });
}

void SimulatorEngine::sendPaced(const QByteArray &bytes, int baud)
{
    const std::int64_t perByte = byteMicros(baud);
    const int chunk = static_cast<int>(std::max<std::int64_t>(1, kChunkUs / perByte));
    const std::int64_t startUs = SteadyMicros();
    log_.Add({WireEvent::Kind::Sent, bytes, baud, startUs});
    // Each chunk is handed over when its last bit would have arrived, so the camera is back
    // at reading the line the moment its final byte is through, as a real one would be.
    for (int sent = 0; sent < bytes.size();) {
        const int n = std::min(chunk, static_cast<int>(bytes.size()) - sent);
        if (!sleepUntil(startUs + (sent + n) * perByte))
            return;
        if (!link_.Write(bytes.constData() + sent, n))
            return;
        sent += n;
    }
}

void SimulatorEngine::saveState()
{
    if (options_.statePath.isEmpty())
        return;
    const PersistentState state =
        WithState([](CommandProcessor &processor, FaultPlan &) { return processor.Persistent(); });
    StateFile::Save(options_.statePath, state);
}
