#include <gtest/gtest.h>

#include <QList>

#include "CommandProcessor.h"

namespace {

constexpr std::int64_t kT0 = 1'000'000'000;

// Drives the processor the way the wire does, one line at a time.
class Camera {
public:
    explicit Camera(const QString &model = QStringLiteral("QN-5200RL-BDXP")) : processor(model, 150) {}

    QByteArray operator()(const QByteArray &line, std::int64_t nowUs = kT0)
    {
        last = processor.Process(line, nowUs);
        return last.line.value_or("<silent>");
    }

    CommandProcessor processor;
    CameraReply last;
};

TEST(CommandProcessorLines, FormsAndRefusals)
{
    Camera camera;
    EXPECT_EQ(camera("MD?"), "MD=QN-5200RL-BDXP");
    EXPECT_EQ(camera("WTC=1024\r"), "COMPLETE"); // the CR before the LF is not part of the line
    EXPECT_EQ(camera("WTC?\r"), "WTC=1024");
    EXPECT_EQ(camera("wtc?"), "WTC=1024");        // mnemonics in any case, answered canonically
    EXPECT_EQ(camera("GA=&H1F4"), "COMPLETE");    // hexadecimal as the tool's replies use it
    EXPECT_EQ(camera("GA?"), "GA=500");
    EXPECT_EQ(camera(""), "<silent>");
    EXPECT_EQ(camera("\r"), "<silent>");
    EXPECT_EQ(camera("XYZ?"), "Error: unknown command");
    EXPECT_EQ(camera("?"), "Error: unknown command");
    EXPECT_EQ(camera("WTC"), "Error: syntax error");
    EXPECT_EQ(camera("WTC?5"), "Error: syntax error");
    EXPECT_EQ(camera("GA=abc"), "Error: invalid value");
    EXPECT_EQ(camera("GA="), "Error: invalid value");
    EXPECT_EQ(camera("LRMIN=5"), "Error: read only");
    EXPECT_EQ(camera("VN=1.2.3.4"), "Error: read only");
}

TEST(CommandProcessorLimits, InitialValuesAndLimitsOfTheControlTable)
{
    Camera camera;
    EXPECT_EQ(camera("WTC?"), "WTC=4096");
    EXPECT_EQ(camera("CMVRR?"), "CMVRR=10000");
    EXPECT_EQ(camera("GAOR?"), "GAOR=8192");
    EXPECT_EQ(camera("CBDRT?"), "CBDRT=1");
    EXPECT_EQ(camera("GA=99"), "Error: value out of range");
    EXPECT_EQ(camera("GA=3201"), "Error: value out of range");
    EXPECT_EQ(camera("GA=3200"), "COMPLETE");
    EXPECT_EQ(camera("GA=100"), "COMPLETE");
    EXPECT_EQ(camera("BL=-133"), "COMPLETE");
    EXPECT_EQ(camera("BL=-134"), "Error: value out of range");
    EXPECT_EQ(camera("NR=5"), "Error: value out of range");
    EXPECT_EQ(camera("ENCDIV=-2147483648"), "COMPLETE");
    EXPECT_EQ(camera("ENCDIV=2147483648"), "Error: value out of range");
    // The aberration families take the limits of the controls that edit them.
    EXPECT_EQ(camera("CACR2B8=-1000"), "COMPLETE");
    EXPECT_EQ(camera("CACR2B8=-1001"), "Error: value out of range");
    EXPECT_EQ(camera("CACC1B?"), "CACC1B=10");
    EXPECT_EQ(camera("CACMT3=3"), "Error: value out of range");
}

// The bare set keeps zeros where a shipped camera has a working line rate and exposure; both
// survive a power-up, and the flash areas start as the camera powers on.
TEST(CommandProcessorLimits, ShippedValuesReplaceTheBareZeros)
{
    struct Row {
        bool asShipped;
        const char *lineRate;
        const char *exposure;
    };
    for (const Row &row : {Row{false, "LR=0", "PE=0"}, Row{true, "LR=10000", "PE=5000"}}) {
        SCOPED_TRACE(row.asShipped ? "as shipped" : "bare");
        CommandProcessor processor(QStringLiteral("QN-5200RL-BDXP"), 150, row.asShipped);
        const auto ask = [&](const QByteArray &line) { return processor.Process(line, kT0).line.value_or("<silent>"); };
        EXPECT_EQ(ask("LR?"), row.lineRate);
        EXPECT_EQ(ask("PE?"), row.exposure);
        EXPECT_EQ(ask("WTC?"), "WTC=4096");
        ASSERT_EQ(ask("LR=3000"), "COMPLETE");
        EXPECT_EQ(ask("LD=0"), "COMPLETE"); // the factory area holds the power-on values
        EXPECT_EQ(ask("LR?"), row.lineRate);
        ASSERT_EQ(ask("LR=3000"), "COMPLETE");
        processor.PowerUp(kT0);
        EXPECT_EQ(ask("LR?"), row.lineRate);
        EXPECT_EQ(ask("PE?"), row.exposure);
    }
}

TEST(CommandProcessorModels, SupportRuleFollowsTheModelName)
{
    Camera second;
    EXPECT_EQ(second("STP?"), "Error: command not supported");
    EXPECT_EQ(second("PER=5"), "Error: command not supported");
    EXPECT_EQ(second("LROP?"), "LROP=0");

    Camera first(QStringLiteral("QN-5200R-BDX"));
    EXPECT_EQ(first("LROP?"), "Error: command not supported");
    EXPECT_EQ(first("STP?"), "STP=0");

    // Renaming the camera changes what it understands.
    EXPECT_EQ(second("MD00=QN-5200R-BDX"), "COMPLETE");
    EXPECT_EQ(second("MD?"), "MD=QN-5200R-BDX");
    EXPECT_EQ(second("STP?"), "STP=0");
    EXPECT_EQ(second("LROP?"), "Error: command not supported");
    EXPECT_EQ(second("MD00=QN-9999"), "COMPLETE");
    EXPECT_EQ(second("LROP?"), "LROP=0");
    EXPECT_EQ(second("STP?"), "STP=0");
}

TEST(CommandProcessorGeometry, WidthAndOffsetAreWhatTheSensorAllows)
{
    Camera camera;
    EXPECT_EQ(camera("WTC=2050"), "COMPLETE");
    EXPECT_EQ(camera("WTC?"), "WTC=2048"); // a multiple of eight
    EXPECT_EQ(camera("OFC=4001"), "COMPLETE");
    EXPECT_EQ(camera("OFC?"), "OFC=4000");
    EXPECT_EQ(camera("WTC?"), "WTC=96"); // offset + width stay within 4,096
    EXPECT_EQ(camera("WTC=4096"), "COMPLETE");
    EXPECT_EQ(camera("WTC?"), "WTC=96");
    EXPECT_EQ(camera("WTC=7"), "Error: value out of range");
    EXPECT_EQ(camera("OFC=4081"), "Error: value out of range");

    EXPECT_EQ(camera("OFC=1000"), "COMPLETE");
    EXPECT_EQ(camera("WTC=4096"), "COMPLETE");
    EXPECT_EQ(camera("WTC?"), "WTC=3096");
    EXPECT_EQ(camera("HB=2"), "COMPLETE"); // binning keeps the same part of the sensor
    EXPECT_EQ(camera("WTC?"), "WTC=1544");
    EXPECT_EQ(camera("OFC?"), "OFC=496");
    EXPECT_EQ(camera("AWBW?"), "AWBW=2048");
    EXPECT_EQ(camera("OFC=3000"), "COMPLETE"); // beyond the binned sensor
    EXPECT_EQ(camera("OFC?"), "OFC=2040");
    EXPECT_EQ(camera("WTC?"), "WTC=8");
    EXPECT_EQ(camera("HB=1"), "COMPLETE");
    EXPECT_EQ(camera("OFC?"), "OFC=4080");
    EXPECT_EQ(camera("WTC?"), "WTC=16");
    EXPECT_EQ(camera("HB=3"), "Error: value out of range");
}

TEST(CommandProcessorGeometry, LimitsFollowTheSettings)
{
    Camera camera;
    const auto number = [&](const QByteArray &query) {
        return camera(query).split('=').value(1).toLongLong();
    };
    const qint64 fullWidth = number("LRMIN?");
    camera("WTC=1024");
    const qint64 narrow = number("LRMIN?");
    EXPECT_LT(narrow, fullWidth);
    camera("WTC=4096");
    camera("CLCFG=2"); // Full configuration moves more pixels a clock
    EXPECT_LT(number("LRMIN?"), fullWidth);
    camera("CLCFG=0");
    camera("CLCF=3"); // slower clock
    EXPECT_GT(number("LRMIN?"), fullWidth);
    EXPECT_GT(number("PEMIN?"), 0);

    camera("LR=500000");
    EXPECT_EQ(number("PEMAX?"), 500000 - 100);
    camera("LR=10"); // below the minimum period the camera runs at the minimum
    EXPECT_EQ(number("PEMAX?"), number("LRMIN?") - 100);

    EXPECT_EQ(camera("TMP0?", kT0), "TMP0=38");
    EXPECT_EQ(camera("TMP0?", kT0 + 3 * 60'000'000LL), "TMP0=41");
    EXPECT_EQ(camera("TMP0?", kT0 + 60 * 60'000'000LL), "TMP0=45");
}

TEST(CommandProcessorAreas, StoreLoadAndReset)
{
    Camera camera;
    EXPECT_EQ(camera("GA=400"), "COMPLETE");
    EXPECT_EQ(camera("SA=2"), "COMPLETE");
    EXPECT_TRUE(camera.last.persistentChanged);
    EXPECT_EQ(camera("GA=800"), "COMPLETE");
    EXPECT_EQ(camera("LD=2"), "COMPLETE");
    EXPECT_EQ(camera("GA?"), "GA=400");
    EXPECT_EQ(camera("EA?"), "EA=2");
    EXPECT_EQ(camera("LD=0"), "COMPLETE"); // the factory area still holds the initial set
    EXPECT_EQ(camera("GA?"), "GA=100");
    EXPECT_EQ(camera("EA?"), "EA=0");

    EXPECT_EQ(camera("SA=0"), "Error: value out of range"); // factory only through SA00
    EXPECT_EQ(camera("SA=4"), "Error: value out of range");
    EXPECT_EQ(camera("LD=4"), "Error: value out of range");
    EXPECT_EQ(camera("SA00=1"), "Error: value out of range");
    EXPECT_EQ(camera("EA=1"), "Error: read only");
    EXPECT_EQ(camera("GA=200"), "COMPLETE");
    EXPECT_EQ(camera("SA00=0"), "COMPLETE");

    // The reset boots from the boot area and drops the rate to 9600.
    EXPECT_EQ(camera("BAS00=2"), "COMPLETE");
    EXPECT_EQ(camera("GA=3000"), "COMPLETE");
    EXPECT_EQ(camera("CBDRT=16"), "COMPLETE");
    ASSERT_TRUE(camera.last.newBaud);
    camera.processor.SetBaud(*camera.last.newBaud);
    EXPECT_EQ(camera("CRS00=0"), "COMPLETE");
    EXPECT_EQ(camera.last.newBaud, 9600);
    EXPECT_EQ(camera("GA?"), "GA=400");
    EXPECT_EQ(camera("EA?"), "EA=2");
    EXPECT_EQ(camera("BAS00?"), "BAS00=2"); // the boot choice is not part of an area
}

TEST(CommandProcessorAreas, RateCodes)
{
    Camera camera;
    EXPECT_EQ(camera("CBDRT=3"), "Error: value out of range");
    EXPECT_FALSE(camera.last.newBaud);
    for (const auto &[code, baud] : {std::pair{1, 9600}, {2, 19200}, {4, 38400}, {8, 57600}, {16, 115200}}) {
        EXPECT_EQ(camera("CBDRT=" + QByteArray::number(code)), "COMPLETE");
        EXPECT_EQ(camera.last.newBaud, baud);
        EXPECT_EQ(camera.processor.Baud(), 9600) << "the rate changes only after the reply went out";
    }
    camera.processor.SetBaud(57600);
    EXPECT_EQ(camera("CBDRT?"), "CBDRT=8");
}

TEST(CommandProcessorTransfers, LutTables)
{
    Camera camera;
    const auto entry = [&](const QByteArray &index, const QByteArray &value, int i) {
        camera(index + "=" + QByteArray::number(i));
        return camera(value + "?");
    };
    EXPECT_EQ(entry("LUTIG", "LUTG", 0), "LUTG=0");
    EXPECT_EQ(entry("LUTIG", "LUTG", 128), "LUTG=2056");
    EXPECT_EQ(entry("LUTIB", "LUTB", 255), "LUTB=4095");
    EXPECT_EQ(camera("LUTIR=256"), "Error: value out of range"); // 256 entries
    EXPECT_EQ(camera("LUTIR=5"), "COMPLETE");
    EXPECT_EQ(camera("LUTR=4096"), "Error: value out of range");
    EXPECT_EQ(camera("LUTR=4095"), "COMPLETE");
    EXPECT_EQ(entry("LUTIR", "LUTR", 5), "LUTR=4095");
    EXPECT_EQ(entry("LUTIG", "LUTG", 5), "LUTG=80"); // the channels are separate tables
    EXPECT_EQ(camera.processor.LutEntry(97, 5), 4095);
}

TEST(CommandProcessorTransfers, ShadingTables)
{
    Camera camera;
    EXPECT_EQ(camera("SDDI=0"), "Error: value out of range");
    EXPECT_EQ(camera("SDDI=1025"), "Error: value out of range");
    EXPECT_EQ(camera("SDDS=3"), "Error: value out of range");
    EXPECT_EQ(camera("SDDS=2"), "COMPLETE");
    EXPECT_EQ(camera("SDDI=1024"), "COMPLETE");
    EXPECT_EQ(camera("SDD=777"), "COMPLETE");
    EXPECT_EQ(camera("SDD?"), "SDD=777");
    EXPECT_EQ(camera("SDDS=0"), "COMPLETE");
    EXPECT_EQ(camera("SDD?"), "SDD=4096");
    EXPECT_EQ(camera.processor.ShadingEntry(2, 1024), 777);
    camera.processor.SetShadingEntry(1, 5, 12345);
    EXPECT_EQ(camera("SDDS=1"), "COMPLETE");
    EXPECT_EQ(camera("SDDI=5"), "COMPLETE");
    EXPECT_EQ(camera("SDD?"), "SDD=12345");
    EXPECT_EQ(camera("SDDU=0"), "COMPLETE");
    EXPECT_EQ(camera("SDDA=0"), "COMPLETE");
}

TEST(CommandProcessorProcedures, OneShotsReportTheirResult)
{
    Camera camera;
    EXPECT_EQ(camera("AWRS?"), "AWRS=5"); // idle before any run
    EXPECT_EQ(camera("AWB=2"), "COMPLETE");
    EXPECT_EQ(camera.last.workMs, 150);
    EXPECT_EQ(camera("AWRS?"), "AWRS=1");
    EXPECT_EQ(camera("AWB?"), "AWB=0"); // the one-shot mode falls back to off
    EXPECT_NE(camera("GAR?"), "GAR=100");
    EXPECT_EQ(camera("AWB=3"), "COMPLETE"); // presets are plain modes
    EXPECT_EQ(camera.last.workMs, 0);
    EXPECT_EQ(camera("AWB?"), "AWB=3");
    EXPECT_EQ(camera("AWB=4"), "Error: value out of range"); // this model has no exposure once
    EXPECT_EQ(camera("AWRS=1"), "Error: read only");

    EXPECT_TRUE(camera.processor.ForceResultCode(QStringLiteral("AWB"), 3));
    camera("GAR=100");
    EXPECT_EQ(camera("AWB=2"), "COMPLETE");
    EXPECT_EQ(camera("AWRS?"), "AWRS=3");
    EXPECT_EQ(camera("GAR?"), "GAR=100"); // a failed balance leaves the gains
    EXPECT_EQ(camera("AWB=2"), "COMPLETE");
    EXPECT_EQ(camera("AWRS?"), "AWRS=3"); // forced codes stick

    EXPECT_EQ(camera("AGC=2"), "COMPLETE");
    EXPECT_EQ(camera("AGCS?"), "AGCS=1");
    EXPECT_TRUE(camera.processor.ForceResultCode(QStringLiteral("SDRS"), 2));
    EXPECT_EQ(camera("RS=0"), "COMPLETE");
    EXPECT_EQ(camera("SDRS?"), "SDRS=2");
    EXPECT_EQ(camera("RS=1"), "Error: value out of range");
    EXPECT_FALSE(camera.processor.ForceResultCode(QStringLiteral("GA"), 1));

    Camera first(QStringLiteral("QN-5200R-BDX"));
    EXPECT_EQ(first("AWB=4"), "COMPLETE");
    EXPECT_EQ(first("AHRS?"), "AHRS=1");
}

TEST(CommandProcessorProcedures, PixelRecalibrationIsBusyForAFewPolls)
{
    Camera camera;
    EXPECT_EQ(camera("PGR=0"), "COMPLETE");
    EXPECT_EQ(camera.last.workMs, 0);
    EXPECT_EQ(camera("PGS?"), "PGS=0");
    EXPECT_EQ(camera("PBS?"), "PBS=1"); // only the started one is busy
    EXPECT_EQ(camera("PGS?"), "PGS=0");
    EXPECT_EQ(camera("PGS?"), "PGS=0");
    EXPECT_EQ(camera("PGS?"), "PGS=1");
    EXPECT_EQ(camera("PGS?"), "PGS=1");

    camera.processor.ForceResultCode(QStringLiteral("PBR00"), 4);
    EXPECT_EQ(camera("PBR00=0"), "COMPLETE");
    for (int poll = 0; poll < 3; ++poll)
        EXPECT_EQ(camera("PBS00?"), "PBS00=0");
    EXPECT_EQ(camera("PBS00?"), "PBS00=4");
}

TEST(CommandProcessorIdentity, TextsUnlockAndVersions)
{
    Camera camera;
    EXPECT_EQ(camera("ID?"), "ID=QN52000417");
    EXPECT_EQ(camera("DV?"), "DV=1.0.0.0");
    EXPECT_EQ(camera("XMLVR?"), "XMLVR=3");

    const QByteArray id64(64, 'u');
    EXPECT_EQ(camera("UD=" + id64), "COMPLETE");
    EXPECT_EQ(camera("UD?"), "UD=" + id64);
    EXPECT_EQ(camera("UD=" + id64 + "u"), "Error: value too long");
    EXPECT_EQ(camera("UD=a=b?"), "COMPLETE"); // the text is everything after the first "="
    EXPECT_EQ(camera("UD?"), "UD=a=b?");

    EXPECT_EQ(camera("ID00=ABCDEFG"), "Error: locked");
    EXPECT_EQ(camera("ULCK=5918273"), "Error: wrong unlock code");
    EXPECT_EQ(camera("ID00=ABCDEFG"), "Error: locked");
    EXPECT_EQ(camera("ULCK=5918274"), "COMPLETE");
    EXPECT_EQ(camera("ID00=ABCDEFG"), "COMPLETE");
    EXPECT_TRUE(camera.last.persistentChanged);
    EXPECT_EQ(camera("ID?"), "ID=ABCDEFG");
    EXPECT_EQ(camera("ID00=XYZ"), "Error: locked"); // one unlock, one write
    EXPECT_EQ(camera("ULCK=5918274"), "COMPLETE");
    EXPECT_EQ(camera("ID00=ABCDEFGHIJK"), "Error: value too long");
    EXPECT_EQ(camera("ID00=ABCDEFGHIJ"), "Error: locked");

    EXPECT_EQ(camera("DV00=1.3..4"), "COMPLETE");
    EXPECT_EQ(camera("DV?"), "DV=1.3..4");
    EXPECT_EQ(camera("DV00=1.2.3"), "Error: invalid value");
    EXPECT_EQ(camera("DV00=1.2.3.4.5"), "Error: invalid value");
}

TEST(CommandProcessorCounters, CountLinesWhileEnabled)
{
    Camera camera;
    camera("LR=100000", kT0); // 1 ms a line
    camera("CE0=1", kT0);
    EXPECT_EQ(camera("CS0?", kT0), "CS0=1");
    EXPECT_EQ(camera("CV0?", kT0 + 10'500), "CV0=10");
    EXPECT_EQ(camera("CV0?", kT0 + 20'000), "CV0=20");
    camera("CE0=0", kT0 + 25'000);
    EXPECT_EQ(camera("CV0?", kT0 + 90'000), "CV0=25"); // stopped
    EXPECT_EQ(camera("CR0=0", kT0 + 90'000), "COMPLETE");
    EXPECT_EQ(camera("CV0?", kT0 + 95'000), "CV0=0");
    EXPECT_EQ(camera("CV0=5"), "Error: read only");
    EXPECT_EQ(camera("CV1?", kT0 + 95'000), "CV1=0");
}

TEST(CommandProcessorState, RestoreBootsFromTheBootArea)
{
    Camera camera;
    camera("GA=700");
    camera("SA=3");
    camera("BAS00=3");
    camera("UD=kept");
    const PersistentState saved = camera.processor.Persistent();

    Camera later;
    later.processor.Restore(saved);
    EXPECT_EQ(later("GA?"), "GA=700");
    EXPECT_EQ(later("EA?"), "EA=3");
    EXPECT_EQ(later("UD?"), "UD=kept");
    EXPECT_EQ(later("CBDRT?"), "CBDRT=1");
}

} // namespace
