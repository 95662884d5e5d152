// The gamma table file reader: never more than 256 lines stored, every stored entry within
// 0..4095, at most two boxes, and a file it wrote itself reads back unchanged.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "core/formats/GammaFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    GammaTables tables{};
    const GammaFileRead read = ReadGammaFile(input, tables);
    if (read.storedLines < 0 || read.storedLines > kLutEntries || read.messages.size() > 2)
        std::abort();
    for (const LutTable &table : tables) {
        for (std::int32_t value : table) {
            if (value < 0 || value > kLutMaxValue)
                std::abort();
        }
    }
    GammaTables again{};
    const GammaFileRead back = ReadGammaFile(GammaFileLines(tables).join("\r\n"), again);
    if (!back.accepted || again != tables)
        std::abort();
    return 0;
}
