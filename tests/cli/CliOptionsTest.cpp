#include <gtest/gtest.h>

#include "cli/CliOptions.h"

namespace {

CliParse parse(std::initializer_list<const char *> words)
{
    QStringList arguments;
    for (const char *word : words)
        arguments.append(QString::fromUtf8(word));
    return ParseCommandLine(arguments);
}

} // namespace

TEST(CliOptions, LinkRateModeAndFlagsAreTaken)
{
    const CliParse a = parse({"--port", "COM3", "--rate", "57600", "--mode=extended", "--json", "--fast", "get", "GA"});
    ASSERT_TRUE(a.error.isEmpty()) << a.error.toStdString();
    EXPECT_EQ(a.options.port, QStringLiteral("COM3"));
    EXPECT_EQ(a.options.fixedBaud, 57600);
    EXPECT_EQ(a.options.controlMode, 1);
    EXPECT_TRUE(a.options.json);
    EXPECT_TRUE(a.options.fast);
    EXPECT_EQ(a.options.command, QStringLiteral("get"));
    EXPECT_EQ(a.options.arguments, QStringList{QStringLiteral("GA")});

    const CliParse b = parse({"--camera-link", "3:1", "--rate", "auto", "save", "x.cam", "--shipping"});
    ASSERT_TRUE(b.error.isEmpty()) << b.error.toStdString();
    EXPECT_EQ(b.options.cameraLinkKind, 3);
    EXPECT_EQ(b.options.cameraLinkIndex, 1);
    EXPECT_FALSE(b.options.fixedBaud.has_value());
    // A subcommand's own option stays with its arguments.
    EXPECT_EQ(b.options.arguments, (QStringList{QStringLiteral("x.cam"), QStringLiteral("--shipping")}));

    const CliParse c = parse({"--port", "/dev/pts/4", "send", "--", "--odd"});
    ASSERT_TRUE(c.error.isEmpty());
    EXPECT_EQ(c.options.port, QStringLiteral("/dev/pts/4"));
    EXPECT_EQ(c.options.arguments, QStringList{QStringLiteral("--odd")});
}

TEST(CliOptions, HelpForTheProgramAndForOneCommand)
{
    EXPECT_TRUE(parse({"--help"}).options.help);
    const CliParse perCommand = parse({"set", "--help"});
    EXPECT_TRUE(perCommand.error.isEmpty());
    EXPECT_TRUE(perCommand.options.help);
    EXPECT_EQ(perCommand.options.command, QStringLiteral("set"));
    EXPECT_EQ(parse({"help", "dump"}).options.command, QStringLiteral("dump"));
    EXPECT_TRUE(CommandUsage(QStringLiteral("set")).contains(QStringLiteral("NAME=VALUE")));
    EXPECT_TRUE(CommandUsage(QStringLiteral("nothing")).isEmpty());
    for (const char *command : {"identify", "get", "set", "dump", "save", "load", "diff", "verify", "store-area",
                                "load-area", "shading", "lut", "send"}) {
        EXPECT_TRUE(ProgramUsage().contains(QString::fromLatin1(command))) << command;
        EXPECT_FALSE(CommandUsage(QString::fromLatin1(command)).isEmpty()) << command;
    }
    EXPECT_TRUE(ProgramUsage().contains(QStringLiteral("5 the camera differs from the setting file")));
}

TEST(CliOptions, BadCommandLinesSayWhatIsWrong)
{
    struct Case {
        std::initializer_list<const char *> words;
        const char *error;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"--port", "COM17", "dump"}, "COM1 to COM16"},
        {{"--port", "COM0", "dump"}, "COM1 to COM16"},
        {{"--port", "ttyUSB0", "dump"}, "device path"},
        {{"--port"}, "--port needs a value"},
        {{"--rate", "12345", "dump"}, "--rate 12345"},
        {{"--mode", "expert", "dump"}, "--mode expert"},
        {{"--camera-link", "4:0", "dump"}, "KIND:INDEX"},
        {{"--camera-link", "2", "dump"}, "KIND:INDEX"},
        {{"--camera-link", "1:0", "--port", "COM1", "dump"}, "give one"},
        {{"--wait", "-5", "send", "X"}, "--wait -5"},
        {{"--bogus", "dump"}, "unknown option --bogus"},
    };
    for (const Case &c : cases) {
        const CliParse result = parse(c.words);
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(c.error))) << c.error << " got: " << result.error.toStdString();
    }
}

// Before the command --wait is the wait for the camera in seconds; after it, send's wait.
TEST(CliOptions, WaitBeforeTheCommandIsForTheCameraAfterItForAnswers)
{
    const CliParse before = parse({"--wait", "30", "dump"});
    ASSERT_TRUE(before.error.isEmpty()) << before.error.toStdString();
    EXPECT_EQ(before.options.deviceWaitSeconds, 30);
    EXPECT_EQ(before.options.waitMs, 500);

    const CliParse after = parse({"send", "GA?", "--wait=800"});
    ASSERT_TRUE(after.error.isEmpty()) << after.error.toStdString();
    EXPECT_FALSE(after.options.deviceWaitSeconds.has_value());
    EXPECT_EQ(after.options.waitMs, 800);

    EXPECT_TRUE(parse({"--wait", "86401", "dump"}).error.contains("give seconds"));
    EXPECT_TRUE(ProgramUsage().contains("--wait SECONDS"));
}
