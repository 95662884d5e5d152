#include "core/formats/ShadingFile.h"

#include "core/common/TextFiles.h"
#include "core/formats/DigitFields.h"

namespace {

constexpr int kFieldsPerLine = 3;
const QByteArray kHeader = QByteArrayLiteral("ShadingData  (G R B)");

} // namespace

QList<QByteArray> ShadingFileLines(const ShadingTable &table)
{
    QList<QByteArray> lines;
    lines.reserve(kShadingValues + 1);
    lines.append(kHeader);
    for (int i = 0; i < kShadingValues; ++i) {
        const auto at = static_cast<std::size_t>(i);
        lines.append(QByteArray::number(table[0][at]) + ", " + QByteArray::number(table[1][at]) + ", " +
                     QByteArray::number(table[2][at]));
    }
    return lines;
}

ShadingFileRead ReadShadingFile(const QByteArray &bytes, ShadingTable &table)
{
    ShadingFileRead read;
    const QList<QByteArray> pieces = TextPieces(bytes, kTablePieceChars);
    for (qsizetype piece = 1; piece < pieces.size(); ++piece) {
        if (read.linesTaken == kShadingValues) {
            read.outcome = ShadingFileRead::Outcome::TooMany;
            return read;
        }
        const DigitFields line = ScanDigitFields(pieces[piece]);
        if (line.tooManyCommas) {
            read.outcome = ShadingFileRead::Outcome::InvalidCount;
            return read;
        }
        const auto index = static_cast<std::size_t>(read.linesTaken);
        for (std::size_t channel = 0; channel < kShadingChannels; ++channel)
            table[channel][index] = line.values[channel];
        ++read.linesTaken;
    }
    return read;
}
