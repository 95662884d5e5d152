#include "cli/CliOptions.h"

#include <array>


namespace {


struct CommandHelp {
    const char *name;
    const char *synopsis;
    const char *summary; // one line of the program's usage
    const char *description;
};

constexpr std::array<CommandHelp, 22> kCommandHelp = {{
    {"identify", "identify", "model, firmware, versions and ids",
     "Model name and code, firmware, FPGA and device version, camera id, user id."},
    {"get", "get NAME...", "read parameters",
     "Reads parameters by mnemonic (GA), page label (Exposure Time, Image format/Width) or SFNC\n"
     "name (ExposureTime, Gain[Red]; a label two groups share stays theirs), and the readouts\n"
     "the camera gives on request: Temperature (TMP0), Counter 0 to Counter 3 (CV0..CV3,\n"
     "each with its status), Line Rate min limit (LRMIN), Exposure max limit (PEMAX) and Exposure\n"
     "min limit (PEMIN)."},
    {"set", "set NAME=VALUE...", "check, then write parameters",
     "Writes parameters. Values are checked against the parameter's limits before anything is\n"
     "sent; list parameters take their entry texts (CLC=Eighty) or their codes."},
    {"dump", "dump", "read every setting", "Reads every setting of the camera (a table, or JSON with --json)."},
    {"save", "save FILE [--shipping]", "write a setting file (.cam)",
     "Reads every setting and writes a camera setting file (.cam)."},
    {"load", "load FILE", "load a setting file",
     "Loads a camera setting file into the camera. A line whose value is not a whole number is\n"
     "skipped, named on standard error and counted among the lines not taken."},
    {"diff", "diff FILE | FILE_A FILE_B [--model NAME] [--extended]",
     "list where the camera differs from a setting file, or two files from each other",
     "Reads every parameter that loading the setting file would set and lists those the camera\n"
     "holds otherwise (NAME, MNEMONIC, CAMERA, FILE), and the file's lines whose value is not a\n"
     "whole number. With --json: {\"differences\": [{name, mnemonic, camera, file}],\n"
     "\"unreadable\": [{line, text}]}.\n"
     "Exit status: 0 the camera holds the file, 5 it differs or a line is unreadable, 4 file error,\n"
     "6 the file sets no parameter of this camera (nothing was verified).\n"
     "With two files no camera is opened: what loading each would send (for the model and mode as\n"
     "check reads them) is compared, and every parameter that differs or that only one sets is\n"
     "listed (NAME, MNEMONIC, A, B; - where a file does not set it). With --json:\n"
     "{\"differences\": [{name, mnemonic, a, b}]} (null where not set). Exit status: 0 the same,\n"
     "5 they differ, 4 file error."},
    {"verify", "verify FILE", "check the camera against a setting file",
     "As diff, without the listing: the exit status says whether the camera holds the file\n"
     "(with --json: {\"file\", \"same\"}).\n"
     "Exit status: 0 the camera holds the file, 5 it differs or a line is unreadable, 4 file error,\n"
     "6 the file sets no parameter of this camera (nothing was verified)."},
    {"check", "check FILE [--model NAME] [--extended]", "check a setting file without a camera",
     "Reads a setting file under the load's rules, without a camera, and lists every line that a\n"
     "load would not take or that the camera would refuse by its limits, one per line:\n"
     "  FILE:LINE: KIND: TEXT (detail)\n"
     "Kinds: unreadable, unknown mnemonic, out of range, lacked row (the model or the mode lacks the\n"
     "parameter), not filed, other model. The file is read for the model that --model names, else\n"
     "for the one its model line names, else for the QN-5200R-BDX; in the standard mode unless\n"
     "--extended (or --mode extended) is given. With --json: {\"problems\": [{line, kind, text,\n"
     "detail}]}. Exit status: 0 every line would be taken, 5 some would not, 4 file error, 2 usage."},
    {"store-area", "store-area N", "store the settings in flash area N",
     "Stores the current settings in flash area N (0 factory, 1..3 user)."},
    {"load-area", "load-area N", "load the settings of flash area N",
     "Loads the settings of flash area N (0 factory, 1..3 user)."},
    {"shading", "shading read FILE | write FILE | store", "shading correction data",
     "Moves the shading correction data."},
    {"lut", "lut read FILE | write FILE", "look-up tables (gamma table file)",
     "Moves the look-up tables (gamma table file)."},
    {"send", "send LINE [--wait MS]", "send one raw line, print the answers",
     "Sends one raw line and prints every line received within the wait."},
    {"calibrate", "calibrate NAME", "run a calibration or one-shot function",
     "Runs one of the camera's procedures and prints its result text (with --json:\n"
     "{\"procedure\", \"code\", \"result\"}). NAME is white-balance, white-balance-exposure,\n"
     "gain-auto, shading, pixel-gain, pixel-black, or in extended mode pixel-gain-factory,\n"
     "pixel-black-factory. The one-shot functions answer within 40 s, a calibration may take\n"
     "minutes.\n"
     "Exit status: 0 the procedure's success code (Succeeded, for shading Complete), 1 another\n"
     "result code or the camera refused the start, 2 usage (a factory one outside extended mode),\n"
     "3 the camera did not answer."},
    {"counter-reset", "counter-reset N", "set counter N back to 0 and read it",
     "Sets counter N (0..3) back to 0, then reads its value and status, as the page's Reset does."},
    {"set-user-id", "set-user-id TEXT", "write the user id",
     "Writes the user id. A text with a line break, a character outside Latin-1 or too long is\n"
     "refused before anything is sent, with the windows' words (exit status 2)."},
    {"set-camera-id", "set-camera-id ID", "write the camera id (extended mode)",
     "Writes the camera id, ten characters, after the camera's unlock, as the windows do in the\n"
     "extended mode (--mode extended). A refused text is a usage error; nothing is sent."},
    {"station", "station FILE [--store-area N] [--calibrate NAME]... [--log FILE] [--mqtt URL ...]",
     "provisioning station for one port",
     "A provisioning station for one port: waits for a camera, loads the setting file, reads every\n"
     "value back, runs each --calibrate NAME (as calibrate; a result other than the success code\n"
     "fails the camera with its text), stores it in flash area N when all match, prints one\n"
     "verdict line per camera and appends a JSON line to the log (the calibrations' codes in\n"
     "\"calibrations\": [{procedure, code, result}]); then waits until the camera is unplugged\n"
     "and starts again.\n"
     "Ctrl-C, SIGTERM or SIGHUP ends it between cameras, or after the current step. Verdicts:\n"
     "  OK|DIFF|NONE|FAIL|STOP CAMERA-ID MODEL FIRMWARE [MNEMONIC:file=N,camera=N|? ... | reason]\n"
     "Exit status: 0 every camera passed, 1 some did not, 4 a log line could not be written,\n"
     "7 standard output was closed (the station ended after the current camera).\n"
     "With --mqtt the station publishes its status, the camera there, every verdict and the\n"
     "camera's telemetry to the plant's broker; the log is then the outbox (default: a file under\n"
     "~/.local/state/qnctl): each record is written there first and sent again after a broker\n"
     "outage or a restart until the broker has acknowledged it. Plant options:\n"
     "  --mqtt mqtt[s]://[USER@]HOST[:PORT]/ROOT  --mqtt-ca FILE  --mqtt-password-file FILE\n"
     "  --station-id ID  --telemetry-every S (the password may also come from QNCTL_MQTT_PASSWORD)"},
    {"watch", "watch [--mqtt URL ...] [--telemetry-every S]", "watch a camera on a running line",
     "Watches the camera of a running line: finds it at the rate it has and then only asks (it\n"
     "never sets anything, so it is safe beside the line's own software). Every period it reads\n"
     "the temperature and the four counters. Without --mqtt it prints one JSON line of telemetry\n"
     "per period; with --mqtt it publishes its status (lost while the camera is away) and the\n"
     "telemetry to the plant's broker. A pulled cable or a power cycle is waited out. Ctrl-C,\n"
     "SIGTERM or SIGHUP ends it. Takes the plant options of station, without a log.\n"
     "Exit status: 0 when ended so, 7 standard output was closed (nobody read the telemetry)."},
    {"ports", "ports", "COM1..COM16 and their devices", "Lists COM1..COM16 with the device each opens."},
    {"help", "help [COMMAND]", "this text, or a command's", "Shows this text, or a command's."},
}};

const CommandHelp *findCommand(const QString &name)
{
    for (const CommandHelp &command : kCommandHelp) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString applyOption(CliOptions &options, const QStringList &arguments, int &index, bool &taken)
{
    const QString &argument = arguments[index];
    QString value;
    QString error;
    taken = true;
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
        options.help = true;
    } else if (argument == QLatin1String("--version")) {
        options.version = true;
    } else if (argument == QLatin1String("--json")) {
        options.json = true;
    } else if (IsOption(argument, QStringLiteral("--wait"))) {
        if (!TakeOptionValue(arguments, index, QStringLiteral("--wait"), value, error))
            return error;
        // Before the command it is the program's wait for the camera, in seconds; after it,
        // the send command's wait for answers, in milliseconds.
        if (options.command.isEmpty())
            return SetDeviceWait(options, value);
        int amount = 0;
        if (!ParseDecimal(value, amount) || amount < 0 || amount > 600000)
            return QStringLiteral("--wait %1: give milliseconds, 0 to 600000").arg(value);
        options.waitMs = amount;
    } else {
        return ApplySessionOption(options, arguments, index, taken);
    }
    return QString();
}

} // namespace

CliParse ParseCommandLine(const QStringList &arguments)
{
    CliParse parse;
    CliOptions &options = parse.options;
    bool onlyArguments = false;
    for (int index = 0; index < arguments.size(); ++index) {
        const QString &argument = arguments[index];
        if (!onlyArguments && argument == QLatin1String("--")) {
            onlyArguments = true;
            continue;
        }
        if (!onlyArguments && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            bool taken = false;
            parse.error = applyOption(options, arguments, index, taken);
            if (!parse.error.isEmpty())
                return parse;
            if (taken)
                continue;
            // Options of one subcommand travel with its arguments.
            if (options.command.isEmpty()) {
                parse.error = QStringLiteral("unknown option %1").arg(argument);
                return parse;
            }
        }
        if (options.command.isEmpty())
            options.command = argument;
        else
            options.arguments.append(argument);
    }
    if (options.command == QLatin1String("help")) {
        options.help = true;
        options.command = options.arguments.value(0);
        options.arguments.clear();
    }
    if (!options.command.isEmpty() && !IsKnownCommand(options.command))
        parse.error = QStringLiteral("unknown command %1").arg(options.command);
    else if (options.command.isEmpty() && !options.help && !options.version)
        parse.error = QStringLiteral("no command given");
    if (parse.error.isEmpty())
        parse.error = SessionOptionsProblem(options);
    return parse;
}

bool IsKnownCommand(const QString &command)
{
    return findCommand(command) != nullptr;
}

QString ProgramUsage()
{
    // Two columns, as the options are laid out; a synopsis too wide for the first puts its
    // summary on the next line.
    constexpr int kSummaryColumn = 44;
    QString text = QStringLiteral(
        "Usage: qnctl [OPTIONS] COMMAND [ARGUMENTS]\n\n"
        "Controls a QN-5200 line-scan colour camera on a serial line, without windows.\n\n"
        "Commands:\n");
    for (const CommandHelp &command : kCommandHelp) {
        QString line = QStringLiteral("  %1").arg(QLatin1String(command.synopsis));
        line = line.size() + 2 <= kSummaryColumn ? line.leftJustified(kSummaryColumn)
                                                 : line + QLatin1Char('\n') + QString(kSummaryColumn, u' ');
        text += line + QLatin1String(command.summary) + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\nOptions:\n"
        "  --port COMn | --port DEVICE   COM name through the [Ports] mapping, a device path, or a\n"
        "                                network port: rfc2217://HOST:PORT or socket://HOST:PORT\n"
        "  --camera-link KIND:INDEX      Camera Link serial library kind 1..3 and port index\n"
        "  --rate auto | BAUD            find the camera and move it to 115200 bit/s (default),\n"
        "                                or talk at a fixed rate without a search\n"
        "  --mode standard | extended    control mode (default: the stored one)\n"
        "  --json                        one JSON document on standard output\n"
        "  --fast                        take each reply as soon as its line is complete\n"
        "  --force                       replace existing files\n"
        "  --save-preferences            write the link choice and mode back to the preferences\n"
        "  --settings FILE               preference file (default: the tool's own)\n"
        "  --wait SECONDS                wait up to SECONDS for the device to appear and the\n"
        "                                camera to answer before the command starts\n"
        "  --help, --version\n"
        "\nExit status: 0 done, 1 the camera refused or reported an error, 2 usage,\n"
        "3 no camera (time-out, port cannot open, link lost), 4 file error,\n"
        "5 the camera differs from the setting file (diff, verify), or lines of it would not be\n"
        "taken (check), 6 the setting file sets no parameter of the camera, so nothing was verified\n"
        "(diff, verify), 7 standard output was closed (station).\n");
    return text;
}

QString CommandUsage(const QString &command)
{
    const CommandHelp *help = findCommand(command);
    if (help == nullptr)
        return QString();
    return QStringLiteral("Usage: qnctl [OPTIONS] %1\n\n%2\n")
        .arg(QLatin1String(help->synopsis), QLatin1String(help->description));
}
