// A feature read by a GenICam host against the command line's own query, on one simulated
// camera at 115200 bit/s: Aravis's GenApi engine reading Width through the CLProtocol library
// (one exchange, taken as soon as its line is complete) beside the cost of one more query in
// a "qnctl --fast get" run (the run with eleven queries less the run with one, over ten).
// Target: the feature read at most 1.2 x the qnctl query; the whole XML read in at most 50 ms.
// Run by hand: bench_genicam
// GLib's headers before Qt's, whose "signals" keyword would otherwise break them.
#include "genicam/ClpAravisDevice.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include <QCoreApplication>

#include "QnctlTiming.h"
#include "support/TempSettings.h"

namespace {

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    ClpRig rig;
    const CLUINT32 cookie = rig.Probe();
    if (!cookie) {
        std::fprintf(stderr, "the library found no camera\n");
        return 1;
    }

    // The whole description, as a host takes it: its ids, its size, then the text.
    std::vector<double> xmlReads;
    std::string xml;
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        CLINT8 ids[256] = {};
        CLUINT32 size = sizeof ids;
        rig.Fn().xmlIds(&rig.Serial(), cookie, ids, &size, kHostTimeoutMs);
        CLUINT32 needed = 0;
        rig.Fn().xmlDescription(&rig.Serial(), cookie, ids, nullptr, &needed, kHostTimeoutMs);
        xml.assign(needed, '\0');
        rig.Fn().xmlDescription(&rig.Serial(), cookie, ids, xml.data(), &needed, kHostTimeoutMs);
        xmlReads.push_back(msSince(start));
    }
    std::printf("XML read (%zu bytes): median %.3f ms (target <= 50 ms)\n", xml.size(), Median(xmlReads));

    const auto parseStart = std::chrono::steady_clock::now();
    QnClpDevice *device = qn_clp_device_new(rig, cookie);
    std::printf("the description read and parsed by Aravis (arv_gc_new): %.1f ms\n", msSince(parseStart));
    ArvGc *gc = arv_device_get_genicam(ARV_DEVICE(device));
    GError *error = nullptr;
    arv_gc_feature_node_set_value_from_string(ARV_GC_FEATURE_NODE(arv_gc_get_node(gc, "DeviceSerialPortBaudRate")),
                                              "Baud115200", &error);
    if (error) {
        std::fprintf(stderr, "the link did not move: %s\n", error->message);
        return 1;
    }
    ArvGcInteger *width = ARV_GC_INTEGER(arv_gc_get_node(gc, "Width"));
    const auto readWidths = [&](int count) {
        std::vector<double> reads;
        for (int i = 0; i < count; ++i) {
            const auto start = std::chrono::steady_clock::now();
            arv_gc_integer_get_value(width, &error);
            reads.push_back(msSince(start));
        }
        return Median(reads);
    };

    TempSettings temp;
    const QStringList link = {QStringLiteral("--settings"), temp.Path(), QStringLiteral("--port"),
                              rig.Camera().SlavePath(), QStringLiteral("--rate=115200"), QStringLiteral("--fast"),
                              QStringLiteral("get")};
    QStringList eleven = link;
    for (int i = 0; i < 11; ++i)
        eleven.append(QStringLiteral("WTC"));
    std::vector<double> queries;
    std::vector<double> features;
    for (int round = 0; round < 5; ++round) {
        const double one = RunQnctlTimed(link + QStringList{QStringLiteral("WTC")}).ms;
        const double many = RunQnctlTimed(eleven).ms;
        queries.push_back((many - one) / 10);
        features.push_back(readWidths(50));
    }
    const double query = Median(queries);
    const double feature = Median(features);
    std::printf("Width through Aravis and the library: median %.3f ms; one qnctl --fast query: %.3f ms; "
                "ratio %.2f (target <= 1.2)\n",
                feature, query, feature / query);
    g_object_unref(device);
    return 0;
}
