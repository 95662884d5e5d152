#include "core/protocol/ResultTexts.h"

#include <array>

namespace {

constexpr int kKinds = 4;
constexpr int kCodes = 6;
constexpr const char *kUnknown = "Unknown Result";

// One row per result code, one column per ResultKind.
constexpr std::array<std::array<const char *, kKinds>, kCodes> kTexts = {{
    {"Unknown Result", "Unknown Result", "Condition_Error", "Busy"},
    {"Succeeded", "Succeeded", "Too Dark", "Succeeded"},
    {"Error1 - G image was too bright", "Timeout-error occurred", "Too Bright", "Too Bright"},
    {"Error2 - G image was too dark", "Control Limit", "Correction Limit", "Too Dark"},
    {"Error3 - Timeout-error occurred", "IDLE", "Complete", "Timeout Error"},
    {"IDLE", "Unknown Result", "Unknown Result", "Unknown Result"},
}};
static_assert(static_cast<int>(ResultKind::Pixel) == kKinds - 1);

} // namespace

QString ResultText(ResultKind kind, std::int32_t code)
{
    if (code < 0 || code >= kCodes)
        return QString::fromLatin1(kUnknown);
    return QString::fromLatin1(kTexts[static_cast<std::size_t>(code)][static_cast<std::size_t>(kind)]);
}
