#include "ClpHost.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QRegularExpression>
#include <QFile>

namespace {

speed_t speedOf(CLUINT32 rate)
{
    switch (rate) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

template <typename Fn>
bool resolve(void *handle, const char *name, Fn &fn)
{
    fn = reinterpret_cast<Fn>(dlsym(handle, name));
    return fn != nullptr;
}

} // namespace

ClpLibrary::ClpLibrary()
{
    const char *locations = std::getenv("GENICAM_CLPROTOCOL");
    for (const QString &location : QString::fromLocal8Bit(locations ? locations : "").split(QRegularExpression(QStringLiteral("[:;]")), Qt::SkipEmptyParts)) {
        const QDir folder(location + QStringLiteral("/Linux64_x64"));
        for (const QString &file : folder.entryList({QStringLiteral("lib*.so")}, QDir::Files)) {
            const std::string path = folder.filePath(file).toStdString();
            void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            ClpFunctions fn;
            if (handle && resolve(handle, "clpGetShortDeviceIDTemplates", fn.templates) &&
                resolve(handle, "clpProbeDevice", fn.probe) && resolve(handle, "clpGetXMLIDs", fn.xmlIds) &&
                resolve(handle, "clpGetXMLDescription", fn.xmlDescription) && resolve(handle, "clpReadRegister", fn.read) &&
                resolve(handle, "clpWriteRegister", fn.write) && resolve(handle, "clpContinueWriteRegister", fn.continueWrite) &&
                resolve(handle, "clpGetErrorText", fn.errorText) && resolve(handle, "clpDisconnect", fn.disconnect) &&
                resolve(handle, "clpGetParam", fn.getParam) && resolve(handle, "clpSetParam", fn.setParam)) {
                handle_ = handle;
                path_ = path;
                fn_ = fn;
                return;
            }
            if (handle)
                dlclose(handle);
        }
    }
}

ClpLibrary::~ClpLibrary()
{
    if (handle_)
        dlclose(handle_);
}

PtySerial::PtySerial(const QString &device)
{
    fd_ = open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{};
    if (fd_ >= 0 && tcgetattr(fd_, &settings) == 0) {
        cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD;
        cfsetspeed(&settings, B9600);
        tcsetattr(fd_, TCSANOW, &settings);
    }
}

PtySerial::~PtySerial()
{
    if (fd_ >= 0)
        close(fd_);
}

CLINT32 PtySerial::clSerialRead(CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32 serialTimeOut)
{
    // As the Camera Link API: the whole count or a time-out without data.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(serialTimeOut);
    std::string got;
    while (got.size() < *bufferSize) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd port{fd_, POLLIN, 0};
        if (poll(&port, 1, static_cast<int>(std::max<long long>(0, left.count()))) <= 0)
            return clserial::kTimeout;
        char chunk[256];
        const ssize_t n = read(fd_, chunk, std::min<std::size_t>(sizeof chunk, *bufferSize - got.size()));
        if (n <= 0)
            return clserial::kTimeout;
        got.append(chunk, static_cast<std::size_t>(n));
    }
    std::copy(got.begin(), got.end(), buffer);
    return clserial::kNoError;
}

CLINT32 PtySerial::clSerialWrite(CLINT8 *buffer, CLUINT32 *bufferSize, CLUINT32)
{
    const ssize_t n = write(fd_, buffer, *bufferSize);
    if (n < 0)
        return clserial::kTimeout;
    tcdrain(fd_);
    *bufferSize = static_cast<CLUINT32>(n);
    return clserial::kNoError;
}

CLINT32 PtySerial::clGetSupportedBaudRates(CLUINT32 *baudRates)
{
    *baudRates = 1 | 2 | 4 | 8 | 16;
    return clserial::kNoError;
}

CLINT32 PtySerial::clSetBaudRate(CLUINT32 baudRate)
{
    termios settings{};
    if (speedOf(baudRate) == B0 || tcgetattr(fd_, &settings) != 0)
        return clserial::kBaudRateNotSupported;
    cfsetspeed(&settings, speedOf(baudRate));
    return tcsetattr(fd_, TCSADRAIN, &settings) == 0 ? clserial::kNoError : clserial::kBaudRateNotSupported;
}

ClpRig::ClpRig(int cameraBaud, int procedureMs) : camera_([cameraBaud, procedureMs] {
    SimulatorOptions options;
    options.baud = cameraBaud;
    options.procedureMs = procedureMs;
    return options;
}())
{
    // The standard's layout: the library in <location>/Linux64_x64, its description beside.
    QDir(location_.path()).mkpath(QStringLiteral("Linux64_x64"));
    QFile::link(QStringLiteral(QN_CLP_LIBRARY), location_.filePath(QStringLiteral("Linux64_x64/libqnclprotocol.so")));
    for (const QString &xml : QDir(QStringLiteral(QN_GENICAM_DIR "/xml")).entryList({QStringLiteral("*.xml")}))
        QFile::link(QStringLiteral(QN_GENICAM_DIR "/xml/") + xml, location_.filePath(xml));
    setenv("GENICAM_CLPROTOCOL", location_.path().toLocal8Bit().constData(), 1);
    camera_.Start();
    serial_ = std::make_unique<PtySerial>(camera_.SlavePath());
    library_ = std::make_unique<ClpLibrary>();
}

ClpRig::~ClpRig()
{
    library_.reset();
    serial_.reset();
    camera_.Stop();
}

CLUINT32 ClpRig::Probe(std::string *deviceId)
{
    CLINT8 id[256] = {};
    CLUINT32 size = sizeof id;
    CLUINT32 cookie = 0;
    if (!library_->Loaded() || Fn().probe(serial_.get(), "Korvel#QN5200", id, &size, &cookie, 1000) != 0)
        return 0;
    if (deviceId)
        *deviceId = id;
    return cookie;
}
