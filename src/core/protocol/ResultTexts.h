#pragma once

#include <cstdint>

#include <QString>

// The columns of the camera's result codes: which procedure reported the code.
enum class ResultKind { WhiteBalance, GainAuto, Shading, Pixel };

// The text for a result code of a procedure; "Unknown Result" for a code the camera does not
// define (and for a status that could not be read, passed as kNoResult).
QString ResultText(ResultKind kind, std::int32_t code);

// Stands for a result or status query that failed.
inline constexpr std::int32_t kNoResult = -1;
