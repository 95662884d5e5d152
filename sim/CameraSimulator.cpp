#include "CameraSimulator.h"

#include "SimulatorEngine.h"

namespace {
using State = CommandProcessor;
} // namespace

CameraSimulator::CameraSimulator(SimulatorOptions options)
    : engine_(std::make_unique<SimulatorEngine>(std::move(options)))
{
}

CameraSimulator::~CameraSimulator() = default;

bool CameraSimulator::Start()
{
    return engine_->Start();
}

void CameraSimulator::Stop()
{
    engine_->Stop();
}

QString CameraSimulator::SlavePath() const
{
    return engine_->SlavePath();
}

void CameraSimulator::Unplug()
{
    engine_->Unplug();
}

bool CameraSimulator::Replug(const PlugOptions &options)
{
    return engine_->Replug(options);
}

void CameraSimulator::PowerCycle()
{
    engine_->PowerCycle();
}

bool CameraSimulator::IsPlugged() const
{
    return engine_->IsPlugged();
}

std::vector<WireEvent> CameraSimulator::WireLog() const
{
    return engine_->Log().Events();
}

QList<QByteArray> CameraSimulator::ReceivedLines() const
{
    return engine_->Log().ReceivedLines();
}

void CameraSimulator::ClearWireLog()
{
    engine_->Log().Clear();
}

bool CameraSimulator::WaitForReceivedLines(int count, int timeoutMs) const
{
    return engine_->Log().WaitForReceivedLines(count, timeoutMs);
}

int CameraSimulator::Baud() const
{
    return engine_->WithState([](State &state, FaultPlan &) { return state.Baud(); });
}

void CameraSimulator::SetBaud(int baud)
{
    engine_->WithState([&](State &state, FaultPlan &) { state.SetBaud(baud); });
}

QString CameraSimulator::Model() const
{
    return engine_->WithState([](State &state, FaultPlan &) { return state.Model(); });
}

void CameraSimulator::SetModel(const QString &model)
{
    engine_->WithState([&](State &state, FaultPlan &) { state.SetModel(model); });
}

std::optional<qint64> CameraSimulator::Value(const QString &mnemonic) const
{
    return engine_->WithState([&](State &state, FaultPlan &) { return state.Value(mnemonic); });
}

void CameraSimulator::SetValue(const QString &mnemonic, qint64 value)
{
    engine_->WithState([&](State &state, FaultPlan &) { state.SetValue(mnemonic, value); });
}

QString CameraSimulator::Text(const QString &mnemonic) const
{
    return engine_->WithState([&](State &state, FaultPlan &) { return state.Text(mnemonic); });
}

void CameraSimulator::SetText(const QString &mnemonic, const QString &text)
{
    engine_->WithState([&](State &state, FaultPlan &) { state.SetText(mnemonic, text); });
}

qint64 CameraSimulator::ShadingEntry(int channel, int index) const
{
    return engine_->WithState([&](State &state, FaultPlan &) { return state.ShadingEntry(channel, index); });
}

void CameraSimulator::SetShadingEntry(int channel, int index, qint64 value)
{
    engine_->WithState([&](State &state, FaultPlan &) { state.SetShadingEntry(channel, index, value); });
}

void CameraSimulator::StopAnswering()
{
    engine_->WithState([](State &, FaultPlan &faults) { faults.StopAnswering(); });
}

void CameraSimulator::StopAnsweringAfter(int lines)
{
    engine_->WithState([&](State &, FaultPlan &faults) { faults.StopAnsweringAfter(lines); });
}

void CameraSimulator::ResumeAnswering()
{
    engine_->WithState([](State &, FaultPlan &faults) { faults.ResumeAnswering(); });
}

void CameraSimulator::SetReplyDelayMs(int ms)
{
    engine_->WithState([&](State &, FaultPlan &faults) { faults.SetReplyDelayMs(ms); });
}

void CameraSimulator::ReplaceNextReply(const QByteArray &line)
{
    engine_->WithState([&](State &, FaultPlan &faults) { faults.ReplaceNextReply(line); });
}

void CameraSimulator::RefuseMnemonic(const QString &mnemonic, const QByteArray &errorText)
{
    engine_->WithState([&](State &, FaultPlan &faults) { faults.Refuse(mnemonic.toLatin1().toUpper(), errorText); });
}

void CameraSimulator::AcceptMnemonic(const QString &mnemonic)
{
    engine_->WithState([&](State &, FaultPlan &faults) { faults.Accept(mnemonic.toLatin1().toUpper()); });
}

void CameraSimulator::ForceResultCode(const QString &mnemonic, int code)
{
    engine_->WithState([&](State &state, FaultPlan &) { state.ForceResultCode(mnemonic, code); });
}

void CameraSimulator::HangUp()
{
    engine_->HangUp();
}
