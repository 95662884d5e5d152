#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// How a front end without windows reaches its camera, as its options say: the link, the rate,
// the control mode, the preference file and how unattended boxes are answered. qnctl and the
// Python module read them by the same rules, so both take and refuse the same choices.
struct SessionOptions {
    QString port;              // "COM3", "/dev/ttyUSB0" or a network address; empty: the stored choice
    int cameraLinkKind = 0;    // 1..3 with --camera-link, else 0
    int cameraLinkIndex = 0;
    std::optional<int> fixedBaud;   // --rate 9600 ...: no search; empty: --rate auto
    std::optional<int> controlMode; // --mode standard (0) | extended (1); empty: stored
    QString settingsPath;      // --settings FILE; empty: the tool's preference file
    bool savePreferences = false;
    bool fast = false;
    bool force = false;
    std::optional<int> deviceWaitSeconds; // wait for the camera before anything else
};

// A whole decimal number of an option's value; false when the text is none.
bool ParseDecimal(const QString &text, int &value);

// The link rates the camera knows.
bool IsLinkRate(int baud);
// Whether a --port value names its device itself (a path or a network address) rather than
// a COM name of the [Ports] mapping.
bool IsDirectDevice(const QString &port);

// Whether the argument is the option, as "--name" or "--name=VALUE".
bool IsOption(const QString &argument, const QString &name);
// Takes the value of an option given as "--name VALUE" or "--name=VALUE"; false with the error
// when the value is missing.
bool TakeOptionValue(const QStringList &arguments, int &index, const QString &name, QString &value, QString &error);

// Takes the session option at arguments[index] (--port, --camera-link, --rate, --mode,
// --settings, --fast, --force, --save-preferences), if it is one: taken says so; the error
// when its value is unusable.
QString ApplySessionOption(SessionOptions &options, const QStringList &arguments, int &index, bool &taken);
// The wait for the camera, in seconds (0 to a day): an error, or empty when taken.
QString SetDeviceWait(SessionOptions &options, const QString &seconds);
// The options checked together: an error, or empty.
QString SessionOptionsProblem(const SessionOptions &options);

struct SessionParse {
    SessionOptions options;
    QString error; // empty when usable
};
// Session options only (with --wait SECONDS for the wait for the camera), as a front end that
// builds them from its own arguments gives them.
SessionParse ParseSessionOptions(const QStringList &arguments);
