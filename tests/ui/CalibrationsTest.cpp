#include <functional>
#include <vector>

#include <QComboBox>

#include <gtest/gtest.h>

#include "ClockWarp.h"
#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/operations/CameraProcedures.h"
#include "gui/main/Calibrations.h"
#include "gui/tools/TerminalDialog.h"
#include "gui/tools/TerminalLayout.h"

using namespace OperatorActions;

namespace {

using Lines = QList<QByteArray>;

constexpr int kResultCodes = 7; // 0..5 defined, 6 unknown

// The camera's result texts per code, as the operator must see them.
constexpr const char *kWhiteBalanceTexts[kResultCodes] = {
    "Unknown Result", "Succeeded", "Error1 - G image was too bright", "Error2 - G image was too dark",
    "Error3 - Timeout-error occurred", "IDLE", "Unknown Result"};
constexpr const char *kGainAutoTexts[kResultCodes] = {
    "Unknown Result", "Succeeded", "Timeout-error occurred", "Control Limit", "IDLE", "Unknown Result",
    "Unknown Result"};
constexpr const char *kShadingTexts[kResultCodes] = {
    "Condition_Error", "Too Dark", "Too Bright", "Correction Limit", "Complete", "Unknown Result", "Unknown Result"};
constexpr const char *kPixelTexts[kResultCodes] = {
    "Busy", "Succeeded", "Too Bright", "Too Dark", "Timeout Error", "Unknown Result", "Unknown Result"};

struct Box {
    QString text;
    QString caption;
    MessageIcon icon;
};

// The boxes of the operation, without the engine's own "Communication Error" reports.
std::vector<Box> ownBoxes(const ScriptedDialogs &dialogs)
{
    std::vector<Box> boxes;
    for (const MessageRequest &box : dialogs.Messages()) {
        if (box.caption != QStringLiteral("Communication Error"))
            boxes.push_back({box.text, box.caption, box.icon});
    }
    return boxes;
}

void expectBoxes(const ScriptedDialogs &dialogs, const std::vector<Box> &expected, const char *what)
{
    const std::vector<Box> boxes = ownBoxes(dialogs);
    ASSERT_EQ(boxes.size(), expected.size()) << what << ": " << dialogs.MessageTexts().join(" | ").toStdString();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].text, expected[i].text) << what;
        EXPECT_EQ(boxes[i].caption, expected[i].caption) << what;
        EXPECT_EQ(boxes[i].icon, expected[i].icon) << what;
    }
}

Box resultBox(const char *text, const char *title)
{
    return {QString::fromLatin1(text), QString::fromLatin1(title), MessageIcon::None};
}

Box stopBox(const char *text)
{
    return {QString::fromLatin1(text), QString(), MessageIcon::Stop};
}

// A started window whose procedures record their waits instead of sleeping; the pause hook
// lets a test change the camera between the start and the result.
struct ProcedureRig {
    explicit ProcedureRig(MainWindowRig::Options options) : rig(options)
    {
        rig.Start();
        // As an operator would: the pixel corrections on a user set and the individual gain
        // mode on, so that the recalibration, gain auto and auto setting controls are usable.
        Choose(*rig.window, 1192, 2);
        Choose(*rig.window, 1184, 2);
        Choose(*rig.window, 1259, 1);
        rig.window->CameraProcedures().SetPause([this](std::uint32_t ms) {
            pauses.push_back(ms);
            if (onPause)
                onPause(static_cast<int>(pauses.size()));
        });
    }

    // Forgets what went before.
    void Clear()
    {
        rig.simulator->ClearWireLog();
        rig.dialogs.Clear();
        pauses.clear();
        onPause = nullptr;
    }

    CCtrlToolDlg &window() { return *rig.window; }
    CameraSimulator &camera() { return *rig.simulator; }

    MainWindowRig rig;
    std::vector<std::uint32_t> pauses;
    std::function<void(int pause)> onPause;
};

struct CalibrationCase {
    int button;
    const char *start;
    const char *status;
    const char *const *texts;
    const char *title;
    const char *startFailure; // nullptr: no box of its own
    bool polls;
};

constexpr CalibrationCase kCalibrationCases[] = {
    {1121, "RS=0", "SDRS", kShadingTexts, "Shading Calibration", "Shading Calibration (Tool: RS Command Timeout)",
     false},
    {1193, "PGR=0", "PGS", kPixelTexts, "Recalibrate Pixel Gain", "Recalibrate Pixel Gain (Tool: PGR Command Timeout)",
     true},
    {1183, "PBR=0", "PBS", kPixelTexts, "Recalibrate Pixel Black",
     "Recalibrate Pixel Black (Tool: PBR Command Timeout)", true},
    {1197, "PGR00=0", "PGS00", kPixelTexts, "Recalibrate Pixel Gain (Factory)", nullptr, true},
    {1198, "PBR00=0", "PBS00", kPixelTexts, "Recalibrate Pixel Black (Factory)", nullptr, true},
};

} // namespace

TEST(CalibrationsWindow, EveryResultCodeShowsItsTextInTheTitledBox)
{
    ProcedureRig procedures({.controlMode = 1});
    for (const CalibrationCase &c : kCalibrationCases) {
        // A pixel status of 0 would keep the poll going; it is the poll's own case below.
        for (int code = c.polls ? 1 : 0; code < kResultCodes; ++code) {
            procedures.Clear();
            procedures.camera().ForceResultCode(QString::fromLatin1(c.status), code);
            Click(procedures.window(), c.button);
            const std::string what = std::string(c.title) + " code " + std::to_string(code);
            expectBoxes(procedures.rig.dialogs, {resultBox(c.texts[code], c.title)}, what.c_str());
            const Lines lines = procedures.rig.Received();
            ASSERT_FALSE(lines.isEmpty()) << what;
            EXPECT_EQ(lines.first(), c.start) << what;
            EXPECT_EQ(lines.last(), QByteArray(c.status) + "?") << what << ": nothing is re-read";
            // The simulated pixel calibrations report busy three times before their result.
            EXPECT_EQ(procedures.pauses, std::vector<std::uint32_t>(c.polls ? 4 : 1, 1000)) << what;
        }
    }
}

TEST(CalibrationsWindow, ShadingWaitsOnceAndPixelStatusPollsWhileBusy)
{
    ProcedureRig procedures({.controlMode = 1});
    procedures.Clear();
    Click(procedures.window(), 1121);
    EXPECT_EQ(procedures.pauses, std::vector<std::uint32_t>{1000});
    EXPECT_EQ(procedures.rig.Received(), (Lines{"RS=0", "SDRS?"}));

    // The simulated pixel calibration reports busy for three polls, then its result.
    procedures.Clear();
    procedures.camera().ForceResultCode(QStringLiteral("PGS"), 1);
    Click(procedures.window(), 1193);
    EXPECT_EQ(procedures.pauses, std::vector<std::uint32_t>(4, 1000));
    EXPECT_EQ(procedures.rig.Received(), (Lines{"PGR=0", "PGS?", "PGS?", "PGS?", "PGS?"}));
    expectBoxes(procedures.rig.dialogs, {resultBox("Succeeded", "Recalibrate Pixel Gain")}, "busy then succeeded");

    // A camera that stays busy keeps the poll going: no overall limit, "Busy" never shown.
    procedures.Clear();
    procedures.camera().ForceResultCode(QStringLiteral("PBS00"), 0);
    procedures.onPause = [&procedures](int pause) {
        if (pause == 9)
            procedures.camera().SetValue(QStringLiteral("PBS00"), 3);
    };
    Click(procedures.window(), 1198);
    EXPECT_EQ(procedures.pauses.size(), 9u);
    EXPECT_EQ(procedures.rig.Received().count("PBS00?"), 9);
    expectBoxes(procedures.rig.dialogs, {resultBox("Too Dark", "Recalibrate Pixel Black (Factory)")}, "long busy");

    // A status query that fails ends the poll as an unknown result.
    procedures.Clear();
    procedures.camera().RefuseMnemonic(QStringLiteral("PBS"));
    Click(procedures.window(), 1183);
    EXPECT_EQ(procedures.rig.Received(), (Lines{"PBR=0", "PBS?"}));
    expectBoxes(procedures.rig.dialogs, {resultBox("Unknown Result", "Recalibrate Pixel Black")}, "failed status");
    ASSERT_EQ(procedures.rig.dialogs.Messages().size(), 2u);
    EXPECT_EQ(procedures.rig.dialogs.Messages()[0].caption, "Communication Error") << "the engine reports first";
}

TEST(CalibrationsWindow, StartWriteThatTimesOutShowsItsStartFailureBox)
{
    ClockWarp warp;
    ProcedureRig procedures({.controlMode = 1, .clock = warp.Clock()});
    for (const CalibrationCase &c : kCalibrationCases) {
        procedures.Clear();
        procedures.camera().StopAnswering();
        warp.On();
        Click(procedures.window(), c.button);
        warp.Off();
        procedures.camera().ResumeAnswering();
        std::vector<Box> expected;
        if (c.startFailure)
            expected.push_back(stopBox(c.startFailure));
        expectBoxes(procedures.rig.dialogs, expected, c.title);
        EXPECT_EQ(procedures.rig.Received(), Lines{c.start}) << c.title << ": no result is asked for";
        EXPECT_TRUE(procedures.pauses.empty()) << c.title;
    }
}

namespace {

struct OneShotCase {
    const char *name;
    const char *model;
    int list;
    int entry;
    const char *start;
    const char *status;
    const char *const *texts;
    const char *title;
    int gainMode; // the "Indivisual Gain Mode" selection while it runs
    Lines reads;  // after the result query, in order
};

const OneShotCase kOneShotCases[] = {
    {"white balance, gain mode off", "QN-5200RL-BDXP", 1408, 1, "AWB=2", "AWRS", kWhiteBalanceTexts,
     "White Balance Once", 0, {"AWB?", "GAR?", "GAB?", "GA?"}},
    {"white balance, gain mode on", "QN-5200RL-BDXP", 1408, 1, "AWB=2", "AWRS", kWhiteBalanceTexts,
     "White Balance Once", 1, {"AWB?", "GAR?", "GAB?", "GAG?"}},
    {"white balance exposure", "QN-5200R-BDX", 1408, 2, "AWB=4", "AHRS", kWhiteBalanceTexts,
     "White Balance Exposure Once", 0, {"AWB?", "PER?", "PEB?"}},
    {"gain auto", "QN-5200RL-BDXP", 1173, 1, "AGC=2", "AGCS", kGainAutoTexts, "Gain Auto Once", 0,
     {"AGC?", "GAR?", "GAB?", "GAG?"}},
};

} // namespace

namespace {

void runOneShot(ProcedureRig &procedures, const OneShotCase &c)
{
    CCtrlToolDlg &window = procedures.window();
    ControlTable &table = procedures.rig.context->controlTable();
    Control<QComboBox>(window, 1259).setCurrentIndex(c.gainMode);
    for (int code = 0; code < kResultCodes; ++code) {
        procedures.Clear();
        procedures.camera().ForceResultCode(QString::fromLatin1(c.status), code);
        Choose(window, c.list, c.entry);
        const std::string what = std::string(c.name) + " code " + std::to_string(code);
        expectBoxes(procedures.rig.dialogs, {resultBox(c.texts[code], c.title)}, what.c_str());
        EXPECT_EQ(procedures.rig.Received(), Lines({c.start, QByteArray(c.status) + "?"}) + c.reads) << what;
        // The camera leaves the one-shot mode when it is done; the list follows it.
        EXPECT_EQ(Selected(window, c.list), 0) << what;
        EXPECT_EQ(table.GetDataValue(c.list), table.GetSavedValue(c.list)) << what << ": committed";
    }
    // A successful run changed the camera's values; the pages show them.
    procedures.camera().ForceResultCode(QString::fromLatin1(c.status), 1);
    Choose(window, c.list, c.entry);
    const int readId = c.list == 1173 ? 1244 : (c.entry == 2 ? 1294 : 1246);
    const char *mnemonic = c.list == 1173 ? "GAG" : (c.entry == 2 ? "PER" : "GAR");
    EXPECT_EQ(table.GetDataValue(readId), procedures.camera().Value(QString::fromLatin1(mnemonic)).value_or(-1))
        << c.name;
    EXPECT_EQ(table.GetSavedValue(readId), table.GetDataValue(readId)) << c.name;
}

} // namespace

TEST(CalibrationsWindow, OneShotFunctionsShowTheirResultReadBackAndCommit)
{
    for (const char *model : {"QN-5200RL-BDXP", "QN-5200R-BDX"}) {
        ProcedureRig procedures({.model = QString::fromLatin1(model)});
        for (const OneShotCase &c : kOneShotCases) {
            if (QByteArray(c.model) == model)
                runOneShot(procedures, c);
        }
    }
}

TEST(CalibrationsWindow, FailedOneShotStartShowsTheCameraModeAgainAndModelZeroHasNoExposureOnce)
{
    ProcedureRig procedures({});
    CCtrlToolDlg &window = procedures.window();
    for (int list : {1408, 1173}) {
        procedures.Clear();
        procedures.camera().ReplaceNextReply("Error: busy\r\n");
        Choose(window, list, 1);
        const QByteArray mode = list == 1408 ? "AWB" : "AGC";
        EXPECT_EQ(procedures.rig.Received(), (Lines{mode + "=2", mode + "?"})) << list;
        EXPECT_TRUE(ownBoxes(procedures.rig.dialogs).empty()) << "the engine's report is all";
        EXPECT_EQ(procedures.rig.BoxTexts(), QStringList{"Error:busy"});
        // The camera fell back to "Off"; the list is not left on "Once".
        EXPECT_EQ(procedures.camera().Value(QString::fromLatin1(mode)).value_or(-1), 0) << list;
        EXPECT_EQ(Selected(window, list), 0) << list;
    }

    // Model code 0: entry 2 is the first preset, written as a plain value.
    QComboBox &modes = Control<QComboBox>(window, 1408);
    EXPECT_EQ(modes.findText(QStringLiteral("Exposure Once")), -1);
    EXPECT_EQ(modes.itemText(2), QStringLiteral("Preset 5000K"));
    procedures.Clear();
    Choose(window, 1408, 2);
    EXPECT_EQ(procedures.rig.Received().value(0), "AWB=5");
    EXPECT_FALSE(procedures.rig.Received().contains("AHRS?"));
    EXPECT_TRUE(procedures.rig.BoxTexts().isEmpty());
    EXPECT_EQ(procedures.camera().Value(QStringLiteral("AWB")).value_or(-1), 5);
}

namespace {

struct AutoCase {
    const char *name;
    std::function<void(CameraSimulator &)> before;
    std::function<void(CameraSimulator &)> duringShadingWait;
    std::vector<Box> boxes;
    Lines lines;
};

const Lines kAutoChain = {"AWB=2", "AWRS?", "RS=0", "SDRS?", "AWB=2", "AWRS?", "AGC=2", "AGCS?"};
const Lines kAutoReadBack = {"GAR?", "GAB?", "GAG?"};

Lines firstOf(const Lines &lines, int count)
{
    return lines.mid(0, count);
}

} // namespace

TEST(CalibrationsWindow, AutoSettingChainsAndStopsWhereAResultSaysSo)
{
    const auto code = [](const char *status, int value) {
        return [=](CameraSimulator &camera) { camera.ForceResultCode(QString::fromLatin1(status), value); };
    };
    const auto refuse = [](const char *mnemonic) {
        return [=](CameraSimulator &camera) { camera.RefuseMnemonic(QString::fromLatin1(mnemonic)); };
    };
    const AutoCase cases[] = {
        {"all succeed", nullptr, nullptr, {resultBox("Succeeded", "Auto Setting")}, kAutoChain + kAutoReadBack},
        {"white balance result 4 goes on like 1", code("AWRS", 4), nullptr, {resultBox("Succeeded", "Auto Setting")},
         kAutoChain + kAutoReadBack},
        {"first white balance fails", code("AWRS", 2), nullptr,
         {resultBox("Error1 - G image was too bright", "White Balance_1 Once")}, firstOf(kAutoChain, 2) + kAutoReadBack},
        {"shading calibration not complete", code("SDRS", 3), nullptr,
         {resultBox("Correction Limit", "Shading Calibration")}, firstOf(kAutoChain, 4) + kAutoReadBack},
        {"second white balance fails", nullptr, code("AWRS", 3),
         {resultBox("Error2 - G image was too dark", "White Balance_2 Once")}, firstOf(kAutoChain, 6) + kAutoReadBack},
        {"gain auto other than 1: no box, gains still read", code("AGCS", 3), nullptr, {}, kAutoChain + kAutoReadBack},
        {"first white balance start refused", refuse("AWB"), nullptr, {stopBox("Auto Setting White Balance_1 Abort")},
         firstOf(kAutoChain, 1)},
        {"shading start refused", refuse("RS"), nullptr, {stopBox("Shading Calibration Abort")}, firstOf(kAutoChain, 3)},
        {"second white balance start refused", nullptr, refuse("AWB"), {stopBox("Auto Setting White Balance_2 Abort")},
         firstOf(kAutoChain, 5)},
        {"gain auto start refused", refuse("AGC"), nullptr, {stopBox("Auto Setting Gain Auto Abort")},
         firstOf(kAutoChain, 7)},
    };
    ProcedureRig procedures({});
    ControlTable &table = procedures.rig.context->controlTable();
    for (const AutoCase &c : cases) {
        procedures.Clear();
        CameraSimulator &camera = procedures.camera();
        for (const char *status : {"AWRS", "AGCS"})
            camera.ForceResultCode(QString::fromLatin1(status), 1);
        camera.ForceResultCode(QStringLiteral("SDRS"), 4);
        for (const char *mnemonic : {"AWB", "RS", "AGC"})
            camera.AcceptMnemonic(QString::fromLatin1(mnemonic));
        if (c.before)
            c.before(camera);
        if (c.duringShadingWait)
            procedures.onPause = [&camera, &c](int) { c.duringShadingWait(camera); };
        // A pending change that only a commit clears shows whether the chain committed.
        table.SetDataValue(1041, table.GetSavedValue(1041) + 1);
        Click(procedures.window(), 1667);
        expectBoxes(procedures.rig.dialogs, c.boxes, c.name);
        EXPECT_EQ(procedures.rig.Received(), c.lines) << c.name;
        const bool readBack = c.lines.size() >= kAutoReadBack.size() &&
                              c.lines.mid(c.lines.size() - kAutoReadBack.size()) == kAutoReadBack;
        EXPECT_EQ(table.GetDataValue(1041) == table.GetSavedValue(1041), readBack) << c.name << ": commit";
        EXPECT_EQ(procedures.pauses.size(), c.lines.contains("SDRS?") ? 1u : 0u) << c.name;
        table.CommitValues();
    }
}

// While a procedure runs, up to its last box, nothing else can start an exchange.
TEST(CalibrationsWindow, ProceduresRunAsLongOperations)
{
    // Shading calibration, white balance once, store all areas: a button, or a list's entry.
    const std::pair<int, int> cases[] = {{1121, -1}, {1408, 1}, {1021, -1}};
    ProcedureRig procedures({.controlMode = 1});
    CCtrlToolDlg &window = procedures.window();
    QWidget &send = *window.Terminal().FindControl(kTerminalSendId);
    for (const auto &[control, entry] : cases) {
        bool othersIdle = false;
        procedures.rig.dialogs.WhileShowing([&] {
            othersIdle = procedures.rig.context->operations().Running() && !send.isEnabled() && !window.isEnabled();
        });
        entry < 0 ? Click(window, control) : Choose(window, control, entry);
        EXPECT_TRUE(othersIdle) << control << ": at the last box";
        EXPECT_TRUE(send.isEnabled() && window.isEnabled()) << control;
    }
}

// The window's procedure is the core's: the same lines on the wire, then one query for each
// control the core names as adjusted, and the core's text (or start failure) in the box.
TEST(CalibrationsWindow, WindowPutsTheCoreProceduresLinesOnTheWire)
{
    // A control and its entry (-1: a button), the code forced on a status, a start refused (last).
    struct SameWireCase { CameraProcedure procedure; int control, entry; const char *status; int code; const char *refused; };
    constexpr SameWireCase kSameWireCases[] = {
        {CameraProcedure::WhiteBalance, 1408, 1, "AWRS", 1, nullptr},
        {CameraProcedure::Shading, 1121, -1, "SDRS", 4, nullptr},
        {CameraProcedure::PixelGain, 1193, -1, "PGS", 2, nullptr},
        {CameraProcedure::Shading, 1121, -1, "SDRS", 4, "RS"},
    };
    ProcedureRig procedures({.controlMode = 1});
    for (const SameWireCase &c : kSameWireCases) {
        const char *title = InfoOf(c.procedure).title;
        procedures.Clear();
        procedures.camera().ForceResultCode(QString::fromLatin1(c.status), c.code);
        if (c.refused)
            procedures.camera().RefuseMnemonic(QString::fromLatin1(c.refused));
        const ProcedureResult core = RunCameraProcedure(procedures.rig.context->command(), c.procedure, [](std::uint32_t) {});
        const Lines lines = procedures.rig.Received();
        procedures.Clear();
        c.entry < 0 ? Click(procedures.window(), c.control) : Choose(procedures.window(), c.control, c.entry);
        const Lines window = procedures.rig.Received();
        EXPECT_EQ(window.mid(0, lines.size()), lines) << title;
        EXPECT_EQ(window.size() - lines.size(), static_cast<qsizetype>(core.adjusted.size())) << title;
        expectBoxes(procedures.rig.dialogs,
                    {c.refused ? stopBox(qPrintable(core.startFailure)) : resultBox(qPrintable(core.text), title)}, title);
    }
}
