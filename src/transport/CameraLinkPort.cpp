#include "transport/CameraLinkPort.h"

#include <algorithm>
#include <array>

#include <QDir>

#include "common/Dialogs.h"
#include "settings/SettingsStore.h"
#include "transport/ClSerialApi.h"

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
            if (library_->Get<GetManufacturerFn>(ClEntry::GetManufacturer)(i, name.data(), &size, &version) != kNoError)
                break;
            ports_.push_back(textOf(name));
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
            if (library_->Get<GetPortInfoFn>(ClEntry::GetPortInfo)(i, maker.data(), &makerSize, id.data(), &idSize,
                                                                   &version) != kNoError)
                break;
            ports_.push_back(QStringLiteral("%1 - %2").arg(textOf(maker), textOf(id)));
        }
    }
    if (serialRef_ == nullptr)
        library_.reset();
}

// Kinds 2 and 3: the library of the kind's name, from the Camera Link folder first, then
// through the loader's search order.
bool CameraLinkPort::openNamedLibrary()
{
    const QString name = QString::fromLatin1(kind_ == LinkKind::Cameralink2001 ? kClSerialName : kClAllSerialName);
    library_ = ClSerialLibrary::Load(QDir(folder()).filePath(name), kind_);
    if (library_ == nullptr)
        library_ = ClSerialLibrary::Load(name, kind_);
    return library_ != nullptr;
}

bool CameraLinkPort::openSerial(unsigned serialIndex)
{
    void *ref = nullptr;
    if (library_->Get<SerialInitFn>(ClEntry::SerialInit)(serialIndex, &ref) != kNoError || ref == nullptr)
        return false;
    serialRef_ = ref;
    return true;
}

bool CameraLinkPort::SelectPort(int index)
{
    Close();
    // At start-up the port is opened by its stored index before anything listed the ports.
    if (kind_ != LinkKind::CameralinkVer11 && PortName(index).isEmpty())
        refreshList();
    if (index < 0)
        return false;

    bool opened = false;
    switch (kind_) {
    case LinkKind::Cameralink2000: {
        const QString file = PortName(index);
        if (file.isEmpty())
            return false;
        library_ = ClSerialLibrary::Load(QDir(folder()).filePath(file), kind_);
        opened = library_ != nullptr && openSerial(kSerialIndexInLibrary);
        break;
    }
    case LinkKind::Cameralink2001: {
        const QByteArray maker = PortName(index).toLatin1();
        if (maker.isEmpty() || !openNamedLibrary())
            return false;
        opened = library_->Get<SelectManufacturerFn>(ClEntry::SelectManufacturer)(maker.constData()) == kNoError &&
                 openSerial(kSerialIndexInLibrary);
        break;
    }
    case LinkKind::CameralinkVer11:
        opened = openNamedLibrary() && openSerial(static_cast<unsigned>(index));
        break;
    case LinkKind::ComPort: break;
    }
    if (!opened) {
        Close();
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

bool CameraLinkPort::SetBaud(int bitsPerSecond)
{
    if (kind_ == LinkKind::Cameralink2000) {
        if (bitsPerSecond == 9600)
            return true;
        dialogs_.Message(rateRefusalText());
        return false;
    }
    if (serialRef_ == nullptr)
        return false;
    const CLUINT32 bit = BaudBit(bitsPerSecond);
    CLUINT32 supported = 0;
    if (bit != 0 &&
        library_->Get<GetSupportedBaudRatesFn>(ClEntry::GetSupportedBaudRates)(serialRef_, &supported) == kNoError &&
        (supported & bit) != 0) {
        library_->Get<SetBaudRateFn>(ClEntry::SetBaudRate)(serialRef_, bit);
        return true;
    }
    dialogs_.Message(rateRefusalText());
    return false;
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
    if (library_->Get<SerialReadFn>(ClEntry::SerialRead)(serialRef_, buffer, &size, timeoutMs) != kNoError)
        return 0;
    // A library that reports more than was asked for has not put more into the buffer.
    return static_cast<int>(std::min(size, static_cast<CLUINT32>(count)));
}
