#include "core/transport/CameraLinkPort.h"

#include <algorithm>
#include <array>
#include <utility>

#include <QDir>

#include "core/common/Dialogs.h"
#include "core/settings/SettingsStore.h"
#include "core/transport/ClSerialApi.h"

using namespace clserial;

namespace {

// Name and identifier buffers handed to the library.
constexpr CLUINT32 kTextBuffer = 128;

// The text a library wrote into a buffer, even when it left out the terminator.
QString textOf(std::array<char, kTextBuffer> &buffer)
{
    buffer.back() = '\0';
    return QString::fromLatin1(buffer.data());
}

// A result code of the standard in words, with the code.
QString ResultText(CLINT32 result)
{
    static constexpr std::array<std::pair<CLINT32, const char *>, 12> kTexts = {{
        {kBufferTooSmall, "buffer too small"},
        {kManuDoesNotExist, "manufacturer does not exist"},
        {kPortInUse, "port in use"},
        {kTimeout, "time-out"},
        {kInvalidIndex, "invalid index"},
        {kInvalidReference, "invalid reference"},
        {kErrorNotFound, "error not found"},
        {kBaudRateNotSupported, "baud rate not supported"},
        {kOutOfMemory, "out of memory"},
        {kUnableToLoadDll, "unable to load library"},
        {kFunctionNotFound, "function not found"},
        {kNoError, "no reference returned"},
    }};
    for (const auto &[code, text] : kTexts) {
        if (code == result)
            return QStringLiteral("%1 (%2)").arg(QLatin1String(text)).arg(result);
    }
    return QStringLiteral("error %1").arg(result);
}

// The entry of a port the library counts but could not describe. It keeps its place, so the
// ports after it are still listed and every stored port index still means the same port.
QString unreportedPort(const char *what, CLUINT32 index, CLINT32 result)
{
    return QStringLiteral("%1 %2 (not reported: %3)").arg(QLatin1String(what)).arg(index).arg(ResultText(result));
}

} // namespace

CameraLinkPort::CameraLinkPort(LinkKind kind, const SettingsStore &settings, Dialogs &dialogs)
    : kind_(kind), settings_(settings), dialogs_(dialogs)
{
}

CameraLinkPort::~CameraLinkPort()
{
    Close();
}

QString CameraLinkPort::folder() const
{
    return settings_.CameraLinkFolder();
}

int CameraLinkPort::PortCount()
{
    refreshList();
    return static_cast<int>(ports_.size());
}

QString CameraLinkPort::PortName(int index) const
{
    if (index < 0 || index >= static_cast<int>(ports_.size()))
        return QString();
    return ports_[static_cast<std::size_t>(index)];
}

void CameraLinkPort::refreshList()
{
    switch (kind_) {
    case LinkKind::Cameralink2000: listLibraryFiles(); break;
    case LinkKind::Cameralink2001: listManufacturers(); break;
    case LinkKind::CameralinkVer11: listAllPorts(); break;
    case LinkKind::ComPort: break;
    }
}

void CameraLinkPort::listLibraryFiles()
{
    ports_.clear();
    const QStringList names = QDir(folder()).entryList({QStringLiteral("clser*.so"), QStringLiteral("libclser*.so")},
                                                       QDir::Files, QDir::Name);
    for (const QString &name : names)
        ports_.push_back(name);
}

void CameraLinkPort::listManufacturers()
{
    if (library_ == nullptr && !openNamedLibrary())
        return; // the list stays as it was
    ports_.clear();
    CLUINT32 count = 0;
    if (library_->Get<GetNumManufacturersFn>(ClEntry::GetNumManufacturers)(&count) == kNoError) {
        for (CLUINT32 i = 0; i < count; ++i) {
            std::array<char, kTextBuffer> name{};
            CLUINT32 size = kTextBuffer;
            CLUINT32 version = 0;
            const CLINT32 result = library_->Get<GetManufacturerFn>(ClEntry::GetManufacturer)(i, name.data(), &size,
                                                                                              &version);
            ports_.push_back(result == kNoError ? textOf(name) : unreportedPort("Manufacturer", i, result));
        }
    }
    if (serialRef_ == nullptr)
        library_.reset();
}

void CameraLinkPort::listAllPorts()
{
    ports_.clear();
    if (library_ == nullptr && !openNamedLibrary())
        return;
    CLUINT32 count = 0;
    if (library_->Get<GetNumPortsFn>(ClEntry::GetNumPorts)(&count) == kNoError) {
        for (CLUINT32 i = 0; i < count; ++i) {
            std::array<char, kTextBuffer> maker{};
            std::array<char, kTextBuffer> id{};
            CLUINT32 makerSize = kTextBuffer;
            CLUINT32 idSize = kTextBuffer;
            CLUINT32 version = 0;
            const CLINT32 result = library_->Get<GetPortInfoFn>(ClEntry::GetPortInfo)(
                i, maker.data(), &makerSize, id.data(), &idSize, &version);
            ports_.push_back(result == kNoError ? QStringLiteral("%1 - %2").arg(textOf(maker), textOf(id))
                                                : unreportedPort("Port", i, result));
        }
    }
    if (serialRef_ == nullptr)
        library_.reset();
}

// Kinds 2 and 3: the library of the kind's name, from the Camera Link folder first, then
// through the loader's search order. error receives both reasons when neither loads.
bool CameraLinkPort::openNamedLibrary(QString *error)
{
    const QString name = QString::fromLatin1(kind_ == LinkKind::Cameralink2001 ? kClSerialName : kClAllSerialName);
    QString inFolder;
    QString bySearch;
    library_ = ClSerialLibrary::Load(QDir(folder()).filePath(name), kind_, &inFolder);
    if (library_ == nullptr)
        library_ = ClSerialLibrary::Load(name, kind_, &bySearch);
    if (library_ == nullptr && error != nullptr)
        *error = QStringLiteral("The Camera Link serial library could not be loaded.\n%1\n%2").arg(inFolder, bySearch);
    return library_ != nullptr;
}

// Kind 1: one library file of the folder, by full path.
bool CameraLinkPort::openLibraryFile(const QString &file)
{
    if (file.isEmpty()) {
        failure_ = QStringLiteral("There is no Camera Link serial library (clser*.so, libclser*.so) for this port "
                                  "in %1.")
                       .arg(folder());
        return false;
    }
    QString error;
    library_ = ClSerialLibrary::Load(QDir(folder()).filePath(file), kind_, &error);
    if (library_ == nullptr)
        failure_ = QStringLiteral("The Camera Link serial library could not be loaded.\n%1").arg(error);
    return library_ != nullptr;
}

bool CameraLinkPort::openSerial(unsigned serialIndex)
{
    void *ref = nullptr;
    const CLINT32 result = library_->Get<SerialInitFn>(ClEntry::SerialInit)(serialIndex, &ref);
    if (result != kNoError || ref == nullptr) {
        failure_ = QStringLiteral("clSerialInit(%1) failed: %2").arg(serialIndex).arg(ResultText(result));
        return false;
    }
    serialRef_ = ref;
    hardFailures_ = 0;
    lossReason_.clear();
    return true;
}

bool CameraLinkPort::selectManufacturer(const QString &name)
{
    if (name.isEmpty()) {
        failure_ = QStringLiteral("The Camera Link serial library lists no manufacturer for this port.");
        return false;
    }
    const QByteArray maker = name.toLatin1();
    const CLINT32 result = library_->Get<SelectManufacturerFn>(ClEntry::SelectManufacturer)(maker.constData());
    if (result != kNoError)
        failure_ = QStringLiteral("clSelectManufacturer(\"%1\") failed: %2").arg(name, ResultText(result));
    return result == kNoError;
}

bool CameraLinkPort::SelectPort(int index)
{
    Close();
    failure_.clear();
    // At start-up the port is opened by its stored index before anything listed the ports.
    if (kind_ != LinkKind::CameralinkVer11 && PortName(index).isEmpty())
        refreshList();

    bool opened = false;
    switch (kind_) {
    case LinkKind::Cameralink2000:
        opened = openLibraryFile(PortName(index)) && openSerial(kSerialIndexInLibrary);
        break;
    case LinkKind::Cameralink2001: {
        const QString maker = PortName(index);
        opened = openNamedLibrary(&failure_) && selectManufacturer(maker) && openSerial(kSerialIndexInLibrary);
        break;
    }
    case LinkKind::CameralinkVer11:
        if (index < 0) {
            failure_ = QStringLiteral("There is no Camera Link port %1.").arg(index);
            break;
        }
        opened = openNamedLibrary(&failure_) && openSerial(static_cast<unsigned>(index));
        break;
    case LinkKind::ComPort: break;
    }
    if (!opened) {
        const QString reason = failure_;
        Close();
        failure_ = reason;
        return false;
    }
    selected_ = index;
    return true;
}

QString CameraLinkPort::rateRefusalText() const
{
    if (kind_ != LinkKind::CameralinkVer11)
        return QStringLiteral("Selected baud rate is not supported.");
    QString where = PortName(selected_);
    if (where.isEmpty())
        where = QString::fromLatin1(kClAllSerialName);
    return QStringLiteral("Selected baud rate is not supported in %1.").arg(where);
}

bool CameraLinkPort::CanCarry(int bitsPerSecond) const
{
    // The first generation has no rate setting: its ports run at the standard's 9600 bit/s.
    if (kind_ == LinkKind::Cameralink2000)
        return bitsPerSecond == 9600;
    if (serialRef_ == nullptr)
        return false;
    const CLUINT32 bit = BaudBit(bitsPerSecond);
    CLUINT32 supported = 0;
    return bit != 0 &&
        library_->Get<GetSupportedBaudRatesFn>(ClEntry::GetSupportedBaudRates)(serialRef_, &supported) == kNoError &&
        (supported & bit) != 0;
}

bool CameraLinkPort::SetBaud(int bitsPerSecond)
{
    if (kind_ != LinkKind::Cameralink2000 && serialRef_ == nullptr)
        return false;
    if (!CanCarry(bitsPerSecond)) {
        dialogs_.Message(rateRefusalText());
        return false;
    }
    if (kind_ != LinkKind::Cameralink2000)
        library_->Get<SetBaudRateFn>(ClEntry::SetBaudRate)(serialRef_, BaudBit(bitsPerSecond));
    return true;
}

void CameraLinkPort::Close()
{
    if (serialRef_ != nullptr && library_ != nullptr)
        library_->Get<SerialCloseFn>(ClEntry::SerialClose)(serialRef_);
    serialRef_ = nullptr;
    selected_ = -1;
    library_.reset();
}

bool CameraLinkPort::Write(const char *bytes, int count, std::uint32_t timeoutMs)
{
    if (serialRef_ == nullptr || count <= 0)
        return false;
    // The API takes a non-const buffer; a copy keeps the caller's bytes out of the library's reach.
    std::vector<char> copy(bytes, bytes + count);
    CLUINT32 size = static_cast<CLUINT32>(count);
    return library_->Get<SerialWriteFn>(ClEntry::SerialWrite)(serialRef_, copy.data(), &size, timeoutMs) == kNoError;
}

int CameraLinkPort::Read(char *buffer, int count, std::uint32_t timeoutMs)
{
    if (serialRef_ == nullptr || count <= 0)
        return 0;
    CLUINT32 size = static_cast<CLUINT32>(count);
    const CLINT32 result = library_->Get<SerialReadFn>(ClEntry::SerialRead)(serialRef_, buffer, &size, timeoutMs);
    if (result == kTimeout)
        return 0;
    if (result != kNoError) {
        if (++hardFailures_ == kHardFailuresForLoss)
            lossReason_ = QStringLiteral("clSerialRead failed: %1").arg(ResultText(result));
        return 0;
    }
    hardFailures_ = 0;
    // A library that reports more than was asked for has not put more into the buffer.
    return static_cast<int>(std::min(size, static_cast<CLUINT32>(count)));
}

QString CameraLinkPort::TakeLossReason()
{
    return std::exchange(lossReason_, QString());
}

CameraLinkPorts MakeCameraLinkPorts(const SettingsStore &settings, Dialogs &dialogs)
{
    return {{CameraLinkPort(LinkKind::Cameralink2000, settings, dialogs),
             CameraLinkPort(LinkKind::Cameralink2001, settings, dialogs),
             CameraLinkPort(LinkKind::CameralinkVer11, settings, dialogs)}};
}
