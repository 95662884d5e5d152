// The shading data file reader: never more than 1,024 lines taken, "too many" only once all
// 1,024 are, every taken entry a non-negative number, the entries past the last taken line
// untouched, and a file it wrote itself reads back unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "core/common/TextFiles.h"
#include "core/formats/ShadingFile.h"

namespace {

constexpr std::int32_t kUntouched = -1; // no file line can produce a negative entry
constexpr int kPieceChars = 126;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ShadingTable table;
    for (ShadingChannel &channel : table)
        channel.fill(kUntouched);
    const ShadingFileRead read = ReadShadingFile(input, table);
    if (read.linesTaken < 0 || read.linesTaken > kShadingValues)
        std::abort();
    if (read.outcome == ShadingFileRead::Outcome::TooMany && read.linesTaken != kShadingValues)
        std::abort();
    // Without an error every piece after the header is a data line.
    const qsizetype dataPieces = std::max<qsizetype>(0, TextPieces(input, kPieceChars).size() - 1);
    if (read.outcome == ShadingFileRead::Outcome::Complete && read.linesTaken != dataPieces)
        std::abort();
    for (ShadingChannel &channel : table) {
        for (int i = 0; i < kShadingValues; ++i) {
            std::int32_t &entry = channel[static_cast<std::size_t>(i)];
            if ((i < read.linesTaken) != (entry != kUntouched) || (i < read.linesTaken && entry < 0))
                std::abort();
            if (entry == kUntouched)
                entry = 0;
        }
    }
    // The same lines in the middle of a file that is too long: never more than 1,024 taken.
    ShadingTable longer{};
    const QByteArray tooLong = "h\n" + QByteArray("1,2,3\n").repeated(1000) + input + "\n" + QByteArray("\n").repeated(30);
    const ShadingFileRead many = ReadShadingFile(tooLong, longer);
    if (many.outcome == ShadingFileRead::Outcome::Complete || many.linesTaken < 1000 ||
        (many.outcome == ShadingFileRead::Outcome::TooMany) != (many.linesTaken == kShadingValues))
        std::abort();

    ShadingTable again{};
    const ShadingFileRead back = ReadShadingFile(ShadingFileLines(table).join("\r\n") + "\r\n", again);
    if (back.outcome != ShadingFileRead::Outcome::Complete || back.linesTaken != kShadingValues || again != table)
        std::abort();
    return 0;
}
