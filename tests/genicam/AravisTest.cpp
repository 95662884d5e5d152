// An independent GenApi engine drives the camera through the library: Aravis's ArvGc over the
// library's own description, with the library's serial access on the simulator's line.
#include <gtest/gtest.h>

#include <functional>

#include "ClpAravisDevice.h"
#include "MainWindowTestRig.h"
#include "OperatorActions.h"
#include "core/operations/IdentityWrites.h"

namespace {

class AravisRig {
public:
    explicit AravisRig(int procedureMs = 200) : rig_(9600, procedureMs)
    {
        cookie_ = rig_.Probe();
        if (cookie_)
            device_ = qn_clp_device_new(rig_, cookie_);
        rig_.Camera().ClearWireLog();
    }
    ~AravisRig()
    {
        if (device_)
            g_object_unref(device_);
    }

    bool Ready() const { return device_ != nullptr; }
    ArvGc *Gc() { return arv_device_get_genicam(ARV_DEVICE(device_)); }
    ArvGcFeatureNode *Node(const char *name) { return ARV_GC_FEATURE_NODE(arv_gc_get_node(Gc(), name)); }
    CameraSimulator &Camera() { return rig_.Camera(); }
    QnClpDevice *Device() { return device_; }

    // Sets a feature from its text; the error's message, empty when it was taken.
    std::string Set(const char *name, const char *value)
    {
        GError *error = nullptr;
        arv_gc_feature_node_set_value_from_string(Node(name), value, &error);
        return consume(error);
    }
    std::string Get(const char *name, std::string *failure = nullptr)
    {
        GError *error = nullptr;
        const char *value = arv_gc_feature_node_get_value_as_string(Node(name), &error);
        const std::string text = value ? value : "";
        const std::string message = consume(error);
        if (failure)
            *failure = message;
        return message.empty() ? text : "error: " + message;
    }
    std::string Execute(const char *name)
    {
        GError *error = nullptr;
        arv_gc_command_execute(ARV_GC_COMMAND(Node(name)), &error);
        return consume(error);
    }
    QList<QByteArray> Lines() const { return rig_.Lines(); }

private:
    static std::string consume(GError *error)
    {
        const std::string message = error ? error->message : "";
        if (error)
            g_error_free(error);
        return message;
    }

    ClpRig rig_;
    CLUINT32 cookie_ = 0;
    QnClpDevice *device_ = nullptr;
};

QList<QByteArray> sets(const QList<QByteArray> &lines)
{
    QList<QByteArray> out;
    for (const QByteArray &line : lines) {
        if (line.contains('='))
            out.append(line);
    }
    return out;
}

// Every feature under a category, depth first, in the description's order.
void walk(ArvGc *gc, const char *name, const std::function<void(ArvGcFeatureNode *)> &visit)
{
    ArvGcNode *node = arv_gc_get_node(gc, name);
    if (ARV_IS_GC_CATEGORY(node)) {
        for (const GSList *child = arv_gc_category_get_features(ARV_GC_CATEGORY(node)); child; child = child->next)
            walk(gc, static_cast<const char *>(child->data), visit);
        return;
    }
    visit(ARV_GC_FEATURE_NODE(node));
}

TEST(AravisTest, ReadsEveryFeatureOnceAndWhatTheModelLacksIsRefusedWithoutALine)
{
    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    EXPECT_FALSE(arv_gc_feature_node_is_available(rig.Node("GAOG"), nullptr)); // the factory page...
    EXPECT_EQ(rig.Set("ControlMode", "1"), "");
    EXPECT_TRUE(arv_gc_feature_node_is_available(rig.Node("GAOG"), nullptr)); // ...in the extended mode
    int read = 0;
    int lacked = 0;
    walk(rig.Gc(), "Root", [&](ArvGcFeatureNode *node) {
        const char *name = arv_gc_feature_node_get_name(node);
        if (ARV_IS_GC_COMMAND(node))
            return;
        const bool available = arv_gc_feature_node_is_available(node, nullptr);
        rig.Camera().ClearWireLog();
        std::string failure;
        rig.Get(name, &failure);
        if (available) {
            EXPECT_EQ(failure, "") << name;
            ++read;
        } else {
            EXPECT_NE(failure, "") << name;
            EXPECT_TRUE(rig.Lines().isEmpty()) << name;
            ++lacked;
        }
    });
    EXPECT_GT(read, 150) << lacked;
    EXPECT_GT(lacked, 10); // the second model's missing commands (GAORA and its kin)
    EXPECT_FALSE(arv_gc_feature_node_is_available(rig.Node("GAORA"), nullptr));
}

// The same changes through the windows, then through Aravis: the same lines on the wire.
TEST(AravisTest, SetsAndReadsBackWithTheLinesTheWindowsSend)
{
    QList<QByteArray> windowLines;
    {
        MainWindowRig windows({});
        windows.Start();
        windows.simulator->ClearWireLog();
        OperatorActions::TypeAndEnter(*windows.window, 1225, QStringLiteral("1024"));
        OperatorActions::Choose(*windows.window, 1092, 1); // Timed: the exposure time field opens
        OperatorActions::TypeAndEnter(*windows.window, 1093, QStringLiteral("5000"));
        OperatorActions::Choose(*windows.window, 1100, 1);
        ASSERT_EQ(SaveUserId(windows.context->command(), windows.dialogs, QStringLiteral("Line_7")), IdentityWrite::Written);
        windowLines = sets(windows.Received());
    }
    ASSERT_EQ(windowLines.size(), 5) << windowLines.join(' ').toStdString();

    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    EXPECT_EQ(rig.Set("Width", "1024"), "");
    EXPECT_EQ(rig.Set("ExposureMode", "Timed"), "");
    EXPECT_EQ(rig.Set("ExposureTime", "5000"), "");
    EXPECT_EQ(rig.Set("PixelFormat", "RGB10"), "");
    EXPECT_EQ(rig.Set("DeviceUserID", "Line_7"), "");
    EXPECT_EQ(sets(rig.Lines()), windowLines);
    EXPECT_EQ(rig.Get("Width"), "1024");
    EXPECT_EQ(rig.Get("ExposureTime"), "5000");
    EXPECT_EQ(rig.Get("PixelFormat"), "RGB10");
    EXPECT_EQ(rig.Get("DeviceUserID"), "Line_7");
}

struct Refused {
    const char *selector; // selector feature and entry, or nullptr
    const char *entry;
    const char *feature;
    const char *value;
};

class OutOfRangeTest : public ::testing::TestWithParam<Refused> {};

TEST_P(OutOfRangeTest, IsRefusedWithoutALineOnTheWire)
{
    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    if (GetParam().selector) {
        ASSERT_EQ(rig.Set(GetParam().selector, GetParam().entry), "");
    }
    EXPECT_NE(rig.Set(GetParam().feature, GetParam().value), "");
    EXPECT_TRUE(rig.Lines().isEmpty()) << rig.Lines().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Limits, OutOfRangeTest,
                         ::testing::Values(Refused{nullptr, nullptr, "Width", "7"},
                                           Refused{nullptr, nullptr, "Width", "4097"},
                                           // Gain All starts at 100, Gain Red at 40: each register its own limits.
                                           Refused{"GainSelector", "All", "Gain", "99"},
                                           Refused{"GainSelector", "Red", "Gain", "39"},
                                           Refused{nullptr, nullptr, "DeviceUserID", "two\nlines"},
                                           Refused{"LUTSelector", "Blue", "LUTValue", "4096"}),
                         [](const auto &info) { return info.param.feature + std::to_string(info.index); });

TEST(AravisTest, SelectedGainGoesToTheSelectedRegister)
{
    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    EXPECT_EQ(rig.Set("GainSelector", "Red"), "");
    EXPECT_EQ(rig.Set("Gain", "50"), "");
    EXPECT_EQ(sets(rig.Lines()), QList<QByteArray>{"GAR=50"});
}

TEST(AravisTest, ACalibrationRunsAsAPendingWriteAndItsResultIsRead)
{
    AravisRig rig(1200); // longer than the host's time-out
    ASSERT_TRUE(rig.Ready());
    EXPECT_EQ(rig.Execute("RunShading"), "");
    EXPECT_GE(qn_clp_device_pending_continues(rig.Device()), 1);
    EXPECT_EQ(rig.Get("ShadingResult"), "4");
    EXPECT_EQ(rig.Lines(), (QList<QByteArray>{"RS=0", "SDRS?"}));
}

TEST(AravisTest, AUserSetIsSavedAndLoaded)
{
    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    EXPECT_EQ(rig.Set("Width", "2048"), "");
    EXPECT_EQ(rig.Set("UserSetSelector", "UserSet2"), "");
    EXPECT_EQ(rig.Execute("UserSetSave"), "");
    EXPECT_EQ(rig.Set("Width", "512"), "");
    EXPECT_EQ(rig.Execute("UserSetLoad"), "");
    EXPECT_EQ(rig.Get("Width"), "2048");
    EXPECT_EQ(sets(rig.Lines()), (QList<QByteArray>{"WTC=2048", "SA=2", "WTC=512", "LD=2"}));
    // The factory set is stored only in the extended control mode.
    EXPECT_EQ(rig.Set("UserSetSelector", "Default"), "");
    EXPECT_NE(rig.Execute("UserSetSave"), "");
}

TEST(AravisTest, LutValuesRoundTrip)
{
    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    const struct {
        const char *channel;
        const char *index;
        const char *value;
    } entries[] = {{"Green", "0", "0"}, {"Red", "128", "2047"}, {"Blue", "255", "4095"}};
    for (const auto &entry : entries) {
        EXPECT_EQ(rig.Set("LUTSelector", entry.channel), "");
        EXPECT_EQ(rig.Set("LUTIndex", entry.index), "");
        EXPECT_EQ(rig.Set("LUTValue", entry.value), "");
    }
    for (const auto &entry : entries) {
        EXPECT_EQ(rig.Set("LUTSelector", entry.channel), "");
        EXPECT_EQ(rig.Set("LUTIndex", entry.index), "");
        EXPECT_EQ(rig.Get("LUTValue"), entry.value) << entry.channel;
    }
    EXPECT_EQ(rig.Lines().mid(0, 2), (QList<QByteArray>{"LUTIG=0", "LUTG=0"}));
}

TEST(AravisTest, TheCameraIdIsWrittenAfterTheUnlockAndOnlyInTheExtendedMode)
{
    AravisRig rig;
    ASSERT_TRUE(rig.Ready());
    EXPECT_NE(rig.Set("DeviceSerialNumber", "QN52001234"), "");
    EXPECT_EQ(rig.Set("ControlMode", "1"), "");
    EXPECT_EQ(rig.Set("DeviceSerialNumber", "QN52001234"), "");
    EXPECT_EQ(rig.Get("DeviceSerialNumber"), "QN52001234");
    EXPECT_EQ(rig.Lines(), (QList<QByteArray>{"ULCK=5918274", "ID00=QN52001234", "ID?"}));
}

} // namespace
