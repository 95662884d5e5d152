// The line splitter every file reader stands on: pieces never exceed their size, only the
// last may lack a line feed, and joined they give the input with CR LF turned into LF.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "core/common/TextFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (int pieceChars : {1, 126, 255}) {
        const QList<QByteArray> pieces = TextPieces(input, pieceChars);
        QByteArray joined;
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const QByteArray &piece = pieces[i];
            if (piece.isEmpty() || piece.size() > pieceChars)
                std::abort();
            if (i + 1 < pieces.size() && !piece.endsWith('\n') && piece.size() != pieceChars)
                std::abort();
            joined += piece;
        }
        if (joined != QByteArray(input).replace("\r\n", "\n"))
            std::abort();
    }
    return 0;
}
