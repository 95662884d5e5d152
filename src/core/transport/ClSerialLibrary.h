#pragma once

#include <array>
#include <bit>
#include <memory>

#include <QString>

#include "core/transport/LinkKind.h"

// The entry points of the Camera Link serial API that a library kind may have to offer.
enum class ClEntry {
    SerialInit,
    SerialRead,
    SerialWrite,
    SerialClose,
    SetBaudRate,
    GetSupportedBaudRates,
    GetErrorText,
    GetNumBytesAvail,
    FlushPort,
    GetNumPorts,
    GetPortInfo,
    GetNumSerialPorts,
    GetSerialPortIdentifier,
    GetManufacturer,
    GetNumManufacturers,
    SelectManufacturer,
    Count
};

// One loaded Camera Link serial library with every entry point its kind requires. It is
// released when the object goes.
class ClSerialLibrary {
public:
    // Loads the library at path (a full path or a bare name for the loader's search order).
    // Null when it cannot be loaded or lacks one of the kind's entry points; a library
    // that was loaded is released again in that case, and error (when given) receives the
    // loader's reason.
    static std::unique_ptr<ClSerialLibrary> Load(const QString &path, LinkKind kind, QString *error = nullptr);
    ~ClSerialLibrary();
    ClSerialLibrary(const ClSerialLibrary &) = delete;
    ClSerialLibrary &operator=(const ClSerialLibrary &) = delete;

    // The entry point as its function type; null when the kind does not require it.
    template <typename Fn>
    Fn Get(ClEntry entry) const
    {
        return std::bit_cast<Fn>(symbols_[static_cast<std::size_t>(entry)]);
    }

    static bool Requires(LinkKind kind, ClEntry entry);

private:
    explicit ClSerialLibrary(void *handle) : handle_(handle) {}

    void *handle_;
    std::array<void *, static_cast<std::size_t>(ClEntry::Count)> symbols_{};
};
