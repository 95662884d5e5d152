#include <optional>

#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/common/TextFiles.h"
#include "core/formats/GammaFile.h"
#include "gui/lut/CLUTDlg.h"
#include "gui/lut/LutWindows.h"
#include "gui/main/MainMenu.h"
#include "gui/main/SpinButton.h"
#include "gui/operations/ProgressWindow.h"

namespace {

enum Channel { kRed = 0, kGreen = 1, kBlue = 2 };

// A window position for a graph position.
QPoint at(int gx, int gy)
{
    return {CLUTDlg::kGraphLeft + gx, CLUTDlg::kGraphTop + gy};
}

// One synthetic mouse event in window coordinates. A press names the button that went down;
// buttons is the state while the event happens, that button included.
struct Mouse {
    QEvent::Type type;
    QPoint where;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    Qt::MouseButton pressed = Qt::NoButton;
};

Mouse press(Qt::MouseButton button, QPoint where, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
            Qt::MouseButtons alsoHeld = Qt::NoButton)
{
    return {QEvent::MouseButtonPress, where, alsoHeld | button, modifiers, button};
}

Mouse move(Qt::MouseButtons buttons, QPoint where, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {QEvent::MouseMove, where, buttons, modifiers};
}

// Delivered to the widget under the position, as the window system would: whatever sits on
// top of the graph there gets the event first.
void send(CLUTDlg &window, const Mouse &mouse)
{
    QWidget *target = window.childAt(mouse.where);
    if (!target)
        target = &window;
    const QPointF local = target->mapFrom(&window, mouse.where);
    QMouseEvent event(mouse.type, local, target->mapToGlobal(local), mouse.pressed, mouse.buttons, mouse.modifiers);
    QApplication::sendEvent(target, &event);
    if (mouse.type == QEvent::MouseButtonPress) {
        QMouseEvent release(QEvent::MouseButtonRelease, local, target->mapToGlobal(local), mouse.pressed,
                            mouse.buttons & ~Qt::MouseButtons(mouse.pressed), mouse.modifiers);
        QApplication::sendEvent(target, &release);
    }
}

std::vector<EditPoint> pointsOf(const CLUTDlg &window)
{
    const auto inUse = window.Points().InUse();
    return {inUse.begin(), inUse.end()};
}

std::string describe(const std::vector<EditPoint> &points)
{
    std::string text;
    for (const EditPoint &point : points)
        text += "(" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
    return text;
}

const std::vector<EditPoint> kEnds = {{0, 256}, {256, 0}};

// The widget Tab moves to from this one: the next in the focus chain that takes Tab focus.
QWidget *nextTabStop(QWidget &from)
{
    for (QWidget *next = from.nextInFocusChain(); next && next != &from; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(from.window()) && next->isEnabled())
            return next;
    }
    return nullptr;
}

struct GestureCase {
    const char *name;
    std::vector<Mouse> events;
    std::vector<EditPoint> expected;
};

// Starting from the two end points each time.
const std::vector<GestureCase> kGestures = {
    {"left press within 32 in both directions moves the first point",
     {press(Qt::LeftButton, at(32, 224))}, {{32, 224}, {256, 0}}},
    {"33 pixels away in x adds a point", {press(Qt::LeftButton, at(33, 250))}, {{0, 256}, {33, 250}, {256, 0}}},
    {"33 pixels away in y adds a point", {press(Qt::LeftButton, at(20, 223))}, {{0, 256}, {20, 223}, {256, 0}}},
    {"the last point moves too, at the right edge", {press(Qt::LeftButton, at(256, 30))}, {{0, 256}, {256, 30}}},
    {"the bottom edge is inside the graph", {press(Qt::LeftButton, at(100, 256))}, {{0, 256}, {100, 256}, {256, 0}}},
    {"below the bottom edge nothing happens", {press(Qt::LeftButton, at(100, 257))}, kEnds},
    {"left of the graph nothing happens", {press(Qt::LeftButton, at(-1, 100))}, kEnds},
    {"right of the graph nothing happens", {press(Qt::LeftButton, at(257, 100))}, kEnds},
    {"Shift held: nothing", {press(Qt::LeftButton, at(100, 100), Qt::ShiftModifier)}, kEnds},
    {"Control held: nothing", {press(Qt::LeftButton, at(100, 100), Qt::ControlModifier)}, kEnds},
    {"both buttons held: nothing",
     {press(Qt::LeftButton, at(100, 100), Qt::NoModifier, Qt::RightButton)}, kEnds},
    {"middle button also held: nothing",
     {press(Qt::LeftButton, at(100, 100), Qt::NoModifier, Qt::MiddleButton)}, kEnds},
    {"middle button alone: nothing", {press(Qt::MiddleButton, at(100, 100))}, kEnds},
    {"a move without a button: nothing", {move(Qt::NoButton, at(100, 100))}, kEnds},
    {"dragging within 32 keeps moving the point instead of adding",
     {press(Qt::LeftButton, at(100, 100)), move(Qt::LeftButton, at(130, 130)), move(Qt::LeftButton, at(160, 160))},
     {{0, 256}, {160, 160}, {256, 0}}},
    {"a drag that jumps further than 32 adds a point",
     {press(Qt::LeftButton, at(100, 100)), move(Qt::LeftButton, at(140, 100))},
     {{0, 256}, {100, 100}, {140, 100}, {256, 0}}},
    {"right button within 16 deletes an interior point",
     {press(Qt::LeftButton, at(100, 100)), press(Qt::RightButton, at(116, 84))}, kEnds},
    {"right button 17 away deletes nothing",
     {press(Qt::LeftButton, at(100, 100)), press(Qt::RightButton, at(117, 100))}, {{0, 256}, {100, 100}, {256, 0}}},
    {"a right-button move near the first point deletes nothing",
     {press(Qt::LeftButton, at(100, 100)), move(Qt::RightButton, at(5, 250))}, {{0, 256}, {100, 100}, {256, 0}}},
    {"a right-button move near the last point deletes nothing",
     {press(Qt::LeftButton, at(100, 100)), move(Qt::RightButton, at(250, 5))}, {{0, 256}, {100, 100}, {256, 0}}},
    {"right button with Control held deletes nothing",
     {press(Qt::LeftButton, at(100, 100)), press(Qt::RightButton, at(100, 100), Qt::ControlModifier)},
     {{0, 256}, {100, 100}, {256, 0}}},
    {"a right-button move over an interior point deletes it",
     {press(Qt::LeftButton, at(100, 100)), press(Qt::LeftButton, at(180, 40)), move(Qt::RightButton, at(101, 99))},
     {{0, 256}, {180, 40}, {256, 0}}},
};

// The three LUT windows, shown. With the camera: those of a started application. Without: the
// same windows on the application's objects alone, for what needs no camera (a start-up reads
// every setting and takes seconds).
struct LutRig {
    enum Camera { WithCamera, WithoutCamera };
    explicit LutRig(Camera camera = WithCamera)
    {
        if (camera == WithCamera) {
            rig.Start();
            lut = &rig.window->Lut();
        } else {
            AppContext &context = *rig.context;
            own = std::make_unique<LutWindows>(CLUTDlg::Services{context.command(), context.dialogs(),
                                                                 context.onlineStatus(), context.windowList(),
                                                                 context.progress(), context.operations()},
                                               context.settings());
            own->CreateLutWindows();
            lut = own.get();
        }
        lut->ShowLutWindows(true);
        QApplication::processEvents();
        rig.simulator->ClearWireLog();
        rig.dialogs.Clear();
    }
    CLUTDlg &window(int channel) const { return lut->Window(channel); }
    bool progressVisible() const { return rig.context->progress().IsVisible(); }

    MainWindowRig rig{MainWindowRig::Options{}};
    std::unique_ptr<LutWindows> own;
    LutWindows *lut = nullptr;
};

TEST(LutWindowGestures, MouseEventsOnTheWindow)
{
    LutRig lut(LutRig::WithoutCamera);
    CLUTDlg &window = lut.window(kRed);
    for (const GestureCase &c : kGestures) {
        window.ResetEditPoints();
        for (const Mouse &mouse : c.events)
            send(window, mouse);
        EXPECT_EQ(describe(pointsOf(window)), describe(c.expected)) << c.name;
    }
    EXPECT_TRUE(lut.rig.Received().isEmpty()) << "gestures send nothing";
}

TEST(LutWindowGestures, FifteenPointsAtMostAndDeletingStopsAtTheEnds)
{
    LutRig lut(LutRig::WithoutCamera);
    CLUTDlg &window = lut.window(kGreen);
    window.ResetEditPoints();
    // Neighbours 100 pixels apart in y, points two apart 34 apart in x: every press adds one.
    for (int i = 0; i < 13; ++i)
        send(window, press(Qt::LeftButton, at(40 + 17 * i, i % 2 ? 80 : 180)));
    ASSERT_EQ(window.Points().Count(), 15);
    send(window, press(Qt::LeftButton, at(128, 0)));
    EXPECT_EQ(window.Points().Count(), 15) << "the sixteenth added point is refused";
    const std::vector<EditPoint> full = pointsOf(window);
    EXPECT_TRUE(std::is_sorted(full.begin(), full.end(),
                               [](const EditPoint &l, const EditPoint &r) { return l.x < r.x; }));
    EXPECT_NE(window.FindControl(CLUTDlg::kGraphId)->accessibleDescription().indexOf("15 edit points"), -1);

    for (int left = 13; left > 0; --left) {
        const EditPoint interior = pointsOf(window)[1];
        send(window, press(Qt::RightButton, at(interior.x, interior.y)));
        ASSERT_EQ(window.Points().Count(), left + 1);
    }
    send(window, press(Qt::RightButton, at(0, 256)));
    send(window, press(Qt::RightButton, at(256, 0)));
    EXPECT_EQ(describe(pointsOf(window)), describe(kEnds));
}

TEST(LutWindowModes, EditAndViewModeUpDownAndKeys)
{
    LutRig lut(LutRig::WithoutCamera);
    CLUTDlg &window = lut.window(kBlue);
    auto &modeText = *qobject_cast<QLabel *>(window.FindControl(CLUTDlg::kModeTextId));
    auto &spin = *qobject_cast<SpinButton *>(window.FindControl(CLUTDlg::kPointCountSpinId));
    auto &count = *qobject_cast<QLineEdit *>(window.FindControl(CLUTDlg::kPointCountEditId));
    EXPECT_EQ(window.LutMode(), CLUTDlg::EditMode);
    EXPECT_EQ(modeText.text(), "Edit Mode");
    EXPECT_EQ(spin.lower(), 2);
    EXPECT_EQ(spin.upper(), 16);
    EXPECT_EQ(spin.position(), 8);
    EXPECT_EQ(count.text(), "8");
    EXPECT_TRUE(count.isReadOnly());

    // Edit Mode: every paint makes the table the curve's; the end points give the ramp.
    window.Table().fill(1);
    window.grab();
    EXPECT_EQ(window.Table()[128], 2048);
    EXPECT_EQ(window.Table()[255], 4095);

    // View Mode: the table stays as it was put there, whatever the points.
    window.Table().fill(1024);
    window.ShowTableAsLoaded();
    window.grab();
    EXPECT_EQ(window.LutMode(), CLUTDlg::ViewMode);
    EXPECT_EQ(modeText.text(), "View Mode");
    EXPECT_EQ(window.Table()[128], 1024);

    // Convert Editable places the up-down's count of points on the table shown.
    struct StepCase {
        int step;
        int count;
    };
    for (const StepCase &c : {StepCase{0, 8}, StepCase{-100, 2}, StepCase{+100, 16}, StepCase{-3, 13}}) {
        window.ShowTableAsLoaded();
        spin.stepBy(c.step);
        EXPECT_EQ(count.text(), QString::number(c.count));
        qobject_cast<QPushButton *>(window.FindControl(CLUTDlg::kConvertButtonId))->click();
        EXPECT_EQ(window.LutMode(), CLUTDlg::EditMode);
        EXPECT_EQ(modeText.text(), "Edit Mode");
        ASSERT_EQ(window.Points().Count(), c.count) << c.step;
        EXPECT_EQ(pointsOf(window).back(), (EditPoint{256, 0}));
    }
    qobject_cast<QPushButton *>(window.FindControl(CLUTDlg::kClearButtonId))->click();
    EXPECT_EQ(describe(pointsOf(window)), describe(kEnds));
    EXPECT_EQ(window.LutMode(), CLUTDlg::EditMode);

    // The buttons and the up-down's field follow each other on Tab; the graph takes no focus
    // but tells a screen reader what it shows.
    std::vector<QWidget *> chain;
    for (int id : {CLUTDlg::kReadButtonId, CLUTDlg::kWriteButtonId, CLUTDlg::kClearButtonId,
                   CLUTDlg::kConvertButtonId, CLUTDlg::kPointCountEditId})
        chain.push_back(window.FindControl(id));
    for (std::size_t i = 0; i < chain.size(); ++i) {
        EXPECT_TRUE(chain[i]->focusPolicy() & Qt::TabFocus) << i;
        if (i + 1 < chain.size()) {
            EXPECT_EQ(nextTabStop(*chain[i]), chain[i + 1]) << i;
        }
    }
    QWidget &graph = *window.FindControl(CLUTDlg::kGraphId);
    EXPECT_EQ(graph.focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(graph.accessibleName().isEmpty());
    EXPECT_TRUE(graph.accessibleDescription().startsWith("Edit Mode, 2 edit points")) << graph.accessibleDescription().toStdString();

    // Enter does nothing; Esc and the close box hide the window, which lives on.
    QApplication::setActiveWindow(&window);
    OperatorActions::Key(window, Qt::Key_Return);
    OperatorActions::Key(window, Qt::Key_Enter);
    EXPECT_TRUE(window.isVisible());
    OperatorActions::Key(window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    lut.lut->ShowLutWindows(true);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Points().Count(), 2) << "hiding keeps the window's state";
    EXPECT_EQ(lut.window(kGreen).pos() - lut.window(kRed).pos(), QPoint(50, 50));
    EXPECT_EQ(lut.window(kBlue).pos() - lut.window(kGreen).pos(), QPoint(50, 50));
}

// Every text of the window can be read: no axis label or help text lies under another
// control, and each text fits its rectangle.
TEST(LutWindowLayout, EveryLabelIsVisibleAndUncovered)
{
    LutRig lut(LutRig::WithoutCamera);
    CLUTDlg &window = lut.window(kRed);
    const QRect graph = window.FindControl(CLUTDlg::kGraphId)->geometry();
    EXPECT_EQ(graph, QRect(160, 20, 260, 260)) << "the graph's place and size are fixed";
    QStringList axisTexts;
    const QList<QWidget *> children = window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QLabel *label : window.findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        const std::string name = label->text().toStdString();
        axisTexts << label->text();
        EXPECT_TRUE(window.rect().contains(label->geometry())) << name;
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft, label->text());
        EXPECT_LE(needed.width(), label->width()) << name << " is cut off";
        EXPECT_LE(needed.height(), label->height()) << name << " is cut off";
        for (QWidget *other : children) {
            if (other == label || !other->isVisible() || !other->geometry().intersects(label->geometry()))
                continue;
            // Inside a group box is fine when the label is drawn above it.
            auto *group = qobject_cast<QGroupBox *>(other);
            const bool inGroup = group && group->geometry().contains(label->geometry()) &&
                                 children.indexOf(label) > children.indexOf(group);
            EXPECT_TRUE(inGroup) << name << " lies under or across " << other->metaObject()->className() << " "
                                 << other->geometry().x() << "," << other->geometry().y();
        }
    }
    for (const char *text : {"4095", "2048", "0", "128", "255"})
        EXPECT_TRUE(axisTexts.contains(text)) << text;
}

// The camera's LUT exchanges: the green table goes to the camera, then a read that the camera
// stops answering after entry 99 leaves the rest of the window's table alone.
TEST(LutWindowCamera, WriteAllEntriesThenReadStopsAtTheSilentEntry)
{
    LutRig lut;
    CLUTDlg &green = lut.window(kGreen);
    LutTable written{};
    for (int i = 0; i < kLutEntries; ++i)
        written[static_cast<std::size_t>(i)] = (i * 37 + 5) % 4096;
    green.Table() = written;
    green.ShowTableAsLoaded();
    green.WriteTableToCamera(kGreen);
    const QList<QByteArray> lines = lut.rig.Received();
    ASSERT_EQ(lines.size(), 512);
    for (int i = 0; i < kLutEntries; ++i) {
        EXPECT_EQ(lines[2 * i], "LUTIG=" + QByteArray::number(i));
        EXPECT_EQ(lines[2 * i + 1], "LUTG=" + QByteArray::number(written[static_cast<std::size_t>(i)]));
    }
    EXPECT_TRUE(lut.rig.BoxTexts().isEmpty());
    EXPECT_EQ(green.LutMode(), CLUTDlg::ViewMode) << "writing leaves the mode";
    EXPECT_FALSE(lut.progressVisible());

    // The rest of the table stays as the window showed it: the values put there in View Mode,
    // the curve of the edit points in Edit Mode. Repaints while the entries come in (the
    // progress window over the graph, a window moved) must not put the curve back over them.
    LutTable ramp{};
    RasterizeCurve(EditPoints().InUse(), kGraphSize, ramp);
    LutTable filled{};
    filled.fill(1234);
    struct ReadCase {
        CLUTDlg::Mode mode;
        const LutTable &rest;
    };
    QTimer exposer;
    exposer.setInterval(5);
    QObject::connect(&exposer, &QTimer::timeout, [&green] { green.FindControl(CLUTDlg::kGraphId)->repaint(); });
    for (const ReadCase &c : {ReadCase{CLUTDlg::ViewMode, filled}, ReadCase{CLUTDlg::EditMode, ramp}}) {
        green.ResetEditPoints();
        green.Table() = filled;
        if (c.mode == CLUTDlg::ViewMode)
            green.ShowTableAsLoaded();
        lut.rig.simulator->ResumeAnswering();
        lut.rig.simulator->ClearWireLog();
        lut.rig.simulator->StopAnsweringAfter(200); // entries 0..99, two exchanges each
        exposer.start();
        EXPECT_FALSE(green.ReadTableFromCamera());
        exposer.stop();
        for (int i = 0; i < kLutEntries; ++i) {
            const auto entry = static_cast<std::size_t>(i);
            EXPECT_EQ(green.Table()[entry], i < 100 ? written[entry] : c.rest[entry]) << "entry " << i << ", mode " << c.mode;
        }
        EXPECT_EQ(lut.rig.Received().size(), 202) << "the read stops at the first unanswered query";
        EXPECT_EQ(green.LutMode(), CLUTDlg::ViewMode);
        EXPECT_FALSE(lut.progressVisible());
        EXPECT_TRUE(green.isEnabled());
        EXPECT_TRUE(lut.rig.window->isEnabled());
    }
}

// A camera that stops answering ends the write at once with one box; 512 time-outs would keep
// the operator waiting for minutes and then look like success.
TEST(LutWindowCamera, WriteStopsAtTheFirstTimeOut)
{
    LutRig lut;
    CLUTDlg &red = lut.window(kRed);
    struct StopCase {
        int answered; // lines answered before the camera goes silent
        int sent;     // lines that reach the camera
        int entry;    // the entry named in the box
    };
    for (const StopCase &c : {StopCase{0, 1, 1}, StopCase{20, 21, 11}, StopCase{21, 22, 11}}) {
        lut.rig.simulator->ResumeAnswering();
        lut.rig.simulator->ClearWireLog();
        lut.rig.dialogs.Clear();
        lut.rig.simulator->StopAnsweringAfter(c.answered);
        QElapsedTimer timer;
        timer.start();
        red.WriteTableToCamera(kRed);
        EXPECT_LT(timer.elapsed(), 8000) << c.answered;
        EXPECT_EQ(lut.rig.Received().size(), c.sent) << c.answered;
        EXPECT_EQ(lut.rig.BoxTexts(),
                  QStringList{QStringLiteral("The camera stopped answering at entry %1 of 256.").arg(c.entry)});
        EXPECT_FALSE(lut.progressVisible());
        EXPECT_TRUE(red.isEnabled());
        EXPECT_TRUE(lut.rig.window->isEnabled());
    }
}

// An error text is an answer: the write goes on through all 512 exchanges, the engine showing
// each error itself.
TEST(LutWindowCamera, RefusedValuesDoNotStopTheWrite)
{
    LutRig lut;
    lut.rig.simulator->RefuseMnemonic(QStringLiteral("LUTB"));
    lut.window(kBlue).WriteTableToCamera(kBlue);
    EXPECT_EQ(lut.rig.Received().size(), 512);
    const QStringList boxes = lut.rig.BoxTexts();
    EXPECT_EQ(boxes.size(), 256);
    EXPECT_FALSE(boxes.join('\n').contains("stopped answering"));
}

QByteArray gammaFileOf(const CCtrlToolDlg &window)
{
    GammaTables tables;
    for (int channel = 0; channel < 3; ++channel)
        tables[static_cast<std::size_t>(channel)] = window.Lut().Window(channel).Table();
    return GammaFileLines(tables).join("\r\n") + "\r\n";
}

TEST(LutMenu, SaveReadsTheCameraFirst)
{
    LutRig lut;
    for (int channel = 0; channel < 3; ++channel) {
        lut.window(channel).Table().fill(7);
        lut.window(channel).ShowTableAsLoaded();
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("gamma.csv"));
    lut.rig.dialogs.QueueFilePath(path);
    lut.rig.window->OnMenu(MenuId::SaveLutFile);

    const QList<QByteArray> lines = lut.rig.Received();
    ASSERT_EQ(lines.size(), 3 * 512);
    EXPECT_EQ(lines[0], "LUTIR=0");
    EXPECT_EQ(lines[512], "LUTIG=0");
    EXPECT_EQ(lines[1024], "LUTIB=0");
    ASSERT_EQ(lut.rig.dialogs.FileRequests().size(), 1u);
    EXPECT_TRUE(lut.rig.dialogs.FileRequests()[0].save);
    EXPECT_EQ(lut.rig.dialogs.FileRequests()[0].nameFilter, "Camera gamm data (*.csv)");
    QByteArray saved;
    ASSERT_TRUE(ReadFileBytes(path, saved));
    EXPECT_TRUE(saved.startsWith("GammaData (R G B)\r\n"));
    EXPECT_EQ(saved, gammaFileOf(*lut.rig.window)) << "the file holds what the camera has";
    EXPECT_EQ(lut.window(kRed).Table()[0], 0);
    EXPECT_EQ(lut.window(kBlue).Table()[255], 4095);
    EXPECT_TRUE(lut.rig.window->isEnabled());

    // The saved file reads back unchanged into windows that show something else.
    GammaTables camera;
    for (int channel = 0; channel < 3; ++channel) {
        camera[static_cast<std::size_t>(channel)] = lut.window(channel).Table();
        lut.window(channel).Table().fill(7);
    }
    lut.rig.simulator->ClearWireLog();
    lut.rig.dialogs.Clear();
    lut.rig.dialogs.QueueFilePath(path);
    lut.rig.window->OnMenu(MenuId::OpenLutFile);
    EXPECT_TRUE(lut.rig.BoxTexts().isEmpty());
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_EQ(lut.window(channel).Table(), camera[static_cast<std::size_t>(channel)]) << channel;
    EXPECT_TRUE(lut.rig.Received().isEmpty());
}

TEST(LutMenu, SaveWithASilentCameraShowsNoDialog)
{
    LutRig lut;
    lut.rig.simulator->StopAnswering();
    lut.rig.window->OnMenu(MenuId::SaveLutFile);
    EXPECT_TRUE(lut.rig.dialogs.FileRequests().empty());
    for (const QByteArray &line : lut.rig.Received())
        EXPECT_FALSE(line.startsWith("LUTIG") || line.startsWith("LUTIB")) << "the first failure ends the reads";
    EXPECT_TRUE(lut.rig.window->isEnabled());
    EXPECT_FALSE(lut.progressVisible());
}

struct OpenCase {
    const char *name;
    QByteArray bytes;
    CLUTDlg::Mode before;
    QStringList boxes;
    CLUTDlg::Mode after;
    // Red, green, blue at index 0; not looked at where an Edit Mode paint decides them.
    std::optional<std::array<std::int32_t, 3>> entry0;
};

TEST(LutMenu, OpenFillsOnlyTheWindows)
{
    LutRig lut;
    QByteArray good = "any header\n";
    for (int i = 0; i < kLutEntries; ++i)
        good += QByteArray::number(i) + ", " + QByteArray::number(2 * i) + ",3\r\n";
    const auto edit = CLUTDlg::EditMode;
    const auto view = CLUTDlg::ViewMode;
    const std::vector<OpenCase> cases = {
        {"a whole file", good, edit, {}, view, {{0, 0, 3}}},
        {"a large value in a whole file", QByteArray(good).replace("0, 0,3", "0, 4096,3"), edit,
         {"Invalid data value: Line(0) : Value(4096)"}, view, {{0, 4095, 3}}},
        {"a bad line leaves the mode", "h\n9,5000,1\n1,2\n", edit,
         {"Invalid data value: Line(0) : Value(5000)", "Invaild line format"}, edit, std::nullopt},
        {"a bad line keeps the lines before it", "h\n9,5000,1\n1,2\n", view,
         {"Invalid data value: Line(0) : Value(5000)", "Invaild line format"}, view, {{9, 4095, 1}}},
    };
    // Each box lets the windows repaint behind it, as a real one does.
    lut.rig.dialogs.WhileShowing([&lut] {
        for (int channel = 0; channel < 3; ++channel)
            lut.window(channel).FindControl(CLUTDlg::kGraphId)->repaint();
    });
    QTemporaryDir folder;
    for (const OpenCase &c : cases) {
        for (int channel = 0; channel < 3; ++channel) {
            lut.window(channel).ResetEditPoints();
            if (c.before == view)
                lut.window(channel).ShowTableAsLoaded();
        }
        const QString path = folder.filePath(QStringLiteral("in.csv"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        lut.rig.dialogs.Clear();
        lut.rig.simulator->ClearWireLog();
        lut.rig.dialogs.QueueFilePath(path);
        lut.rig.window->OnMenu(MenuId::OpenLutFile);

        ASSERT_EQ(lut.rig.dialogs.FileRequests().size(), 1u) << c.name;
        EXPECT_FALSE(lut.rig.dialogs.FileRequests()[0].save);
        EXPECT_EQ(lut.rig.dialogs.FileRequests()[0].nameFilter, "Camera gamma data (*.csv)");
        EXPECT_EQ(lut.rig.BoxTexts(), c.boxes) << c.name;
        for (const MessageRequest &box : lut.rig.dialogs.Messages())
            EXPECT_EQ(box.icon, MessageIcon::Stop) << c.name;
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_EQ(lut.window(channel).LutMode(), c.after) << c.name;
            if (c.entry0) {
                EXPECT_EQ(lut.window(channel).Table()[0], (*c.entry0)[static_cast<std::size_t>(channel)]) << c.name;
            }
        }
        EXPECT_TRUE(lut.rig.Received().isEmpty()) << c.name << ": nothing goes to the camera";
    }
}

TEST(LutMenu, LoadAllStopsAtTheFirstWindowThatFails)
{
    LutRig lut;
    lut.window(kBlue).Table().fill(5);
    lut.window(kBlue).ShowTableAsLoaded();
    lut.rig.simulator->StopAnsweringAfter(512 + 20); // red whole, green up to entry 9
    lut.rig.window->OnMenu(MenuId::LoadAllLutTables);
    const QList<QByteArray> lines = lut.rig.Received();
    EXPECT_EQ(lines.size(), 512 + 22);
    for (const QByteArray &line : lines)
        EXPECT_FALSE(line.startsWith("LUTIB")) << "blue is not asked after green failed";
    EXPECT_EQ(lut.window(kRed).Table()[255], 4095);
    EXPECT_EQ(lut.window(kRed).LutMode(), CLUTDlg::ViewMode);
    EXPECT_EQ(lut.window(kGreen).LutMode(), CLUTDlg::ViewMode);
    EXPECT_EQ(lut.window(kBlue).Table()[0], 5);
    EXPECT_TRUE(lut.rig.window->isEnabled());
    EXPECT_FALSE(lut.progressVisible());
}

} // namespace
