#include "core/transport/ClSerialLibrary.h"

#include <dlfcn.h>

#include <QFile>

namespace {

constexpr unsigned kindBit(LinkKind kind)
{
    return 1u << static_cast<unsigned>(kind);
}

constexpr unsigned k2000 = kindBit(LinkKind::Cameralink2000);
constexpr unsigned k2001 = kindBit(LinkKind::Cameralink2001);
constexpr unsigned kVer11 = kindBit(LinkKind::CameralinkVer11);

struct EntryRow {
    const char *name;
    unsigned kinds; // the kinds that require it
};

// By ClEntry.
constexpr std::array<EntryRow, static_cast<std::size_t>(ClEntry::Count)> kEntries = {{
    {"clSerialInit", k2000 | k2001 | kVer11},
    {"clSerialRead", k2000 | k2001 | kVer11},
    {"clSerialWrite", k2000 | k2001 | kVer11},
    {"clSerialClose", k2000 | k2001 | kVer11},
    {"clSetBaudRate", k2001 | kVer11},
    {"clGetSupportedBaudRates", k2001 | kVer11},
    {"clGetErrorText", k2001 | kVer11},
    {"clGetNumBytesAvail", kVer11},
    {"clFlushPort", kVer11},
    {"clGetNumPorts", kVer11},
    {"clGetPortInfo", kVer11},
    {"clGetNumSerialPorts", k2001},
    {"clGetSerialPortIdentifier", k2001},
    {"clGetManufacturer", k2001},
    {"clGetNumManufacturers", k2001},
    {"clSelectManufacturer", k2001},
}};

} // namespace

bool ClSerialLibrary::Requires(LinkKind kind, ClEntry entry)
{
    return (kEntries[static_cast<std::size_t>(entry)].kinds & kindBit(kind)) != 0;
}

namespace {

// The loader's reason for the failure just seen.
void takeLoaderError(QString *error)
{
    const char *text = dlerror();
    if (error != nullptr)
        *error = text != nullptr ? QString::fromLocal8Bit(text) : QStringLiteral("unknown loader error");
}

} // namespace

std::unique_ptr<ClSerialLibrary> ClSerialLibrary::Load(const QString &path, LinkKind kind, QString *error)
{
    dlerror(); // forget an older reason
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        takeLoaderError(error);
        return nullptr;
    }
    std::unique_ptr<ClSerialLibrary> library(new ClSerialLibrary(handle));
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        if (!Requires(kind, static_cast<ClEntry>(i)))
            continue;
        library->symbols_[i] = dlsym(handle, kEntries[i].name);
        if (library->symbols_[i] == nullptr) {
            takeLoaderError(error);
            return nullptr; // released by the destructor
        }
    }
    return library;
}

ClSerialLibrary::~ClSerialLibrary()
{
    dlclose(handle_);
}
