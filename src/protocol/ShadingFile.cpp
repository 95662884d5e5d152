#include "protocol/ShadingFile.h"

#include <algorithm>
#include <limits>

#include "common/TextFiles.h"

namespace {

constexpr int kPieceChars = 126;
constexpr int kFieldsPerLine = 3;
const QByteArray kHeader = QByteArrayLiteral("ShadingData  (G R B)");

struct ParsedLine {
    bool valid = true;
    std::array<std::int32_t, kFieldsPerLine> fields{};
};

ParsedLine parseLine(const QByteArray &line)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    ParsedLine parsed;
    std::array<std::int64_t, kFieldsPerLine> fields{};
    int field = 0;
    for (char c : line) {
        if (c == ',') {
            if (++field >= kFieldsPerLine) {
                parsed.valid = false;
                return parsed;
            }
        } else if (c >= '0' && c <= '9') {
            std::int64_t &value = fields[static_cast<std::size_t>(field)];
            value = std::min(kMax, value * 10 + (c - '0'));
        }
    }
    for (int i = 0; i < kFieldsPerLine; ++i)
        parsed.fields[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(fields[static_cast<std::size_t>(i)]);
    return parsed;
}

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
    const QList<QByteArray> pieces = TextPieces(bytes, kPieceChars);
    for (qsizetype piece = 1; piece < pieces.size(); ++piece) {
        if (read.linesTaken == kShadingValues) {
            read.outcome = ShadingFileRead::Outcome::TooMany;
            return read;
        }
        const ParsedLine line = parseLine(pieces[piece]);
        if (!line.valid) {
            read.outcome = ShadingFileRead::Outcome::InvalidCount;
            return read;
        }
        const auto index = static_cast<std::size_t>(read.linesTaken);
        for (std::size_t channel = 0; channel < kShadingChannels; ++channel)
            table[channel][index] = line.fields[channel];
        ++read.linesTaken;
    }
    return read;
}
