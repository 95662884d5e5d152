#include "core/formats/GammaFile.h"

#include <limits>

#include <QString>

#include "core/common/TextFiles.h"
#include "core/formats/DigitFields.h"

namespace {

constexpr int kFields = 3;

} // namespace

QList<QByteArray> GammaFileLines(const GammaTables &tables)
{
    QList<QByteArray> lines;
    lines.reserve(kLutEntries + 1);
    lines.append(QByteArray(kGammaFileHeader));
    for (int i = 0; i < kLutEntries; ++i) {
        lines.append(QByteArray::number(tables[0][i]) + ',' + QByteArray::number(tables[1][i]) + ',' +
                     QByteArray::number(tables[2][i]));
    }
    return lines;
}

GammaFileRead ReadGammaFile(const QByteArray &bytes, GammaTables &tables)
{
    GammaFileRead read;
    const QList<QByteArray> pieces = TextPieces(bytes, kTablePieceChars);
    bool valueReported = false;
    // The first piece is the header, whatever it says.
    for (qsizetype p = 1; p < pieces.size(); ++p) {
        const DigitFields fields = ScanDigitFields(pieces[p]);
        if (fields.tooManyCommas) {
            read.messages.append(QStringLiteral("Invalid data count format"));
            return read;
        }
        if (fields.commas != kFields - 1) {
            read.messages.append(QStringLiteral("Invaild line format"));
            return read;
        }
        if (read.storedLines == kLutEntries) {
            read.messages.append(QStringLiteral("Too many data"));
            return read;
        }
        const int k = read.storedLines;
        for (std::size_t channel = 0; channel < kFields; ++channel) {
            const std::int64_t value = fields.values[channel];
            if (value > kLutMaxValue && !valueReported) {
                valueReported = true;
                read.messages.append(QStringLiteral("Invalid data value: Line(%1) : Value(%2)").arg(k).arg(value));
            }
            tables[channel][static_cast<std::size_t>(k)] =
                static_cast<std::int32_t>(std::min<std::int64_t>(value, kLutMaxValue));
        }
        ++read.storedLines;
    }
    read.accepted = true;
    return read;
}
