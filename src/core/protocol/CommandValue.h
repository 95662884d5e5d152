#pragma once

#include <cstdint>

#include <QString>

#include "core/protocol/CommandTable.h"

// The value exchanged with the command engine. Which field matters depends on the value type:
// an Integer command fills the integer, a Real command both the real value and the integer
// (the real value scaled by its decimals), a Text command the text.
struct CommandValue {
    ValueType valueType = ValueType::Integer;
    std::int32_t integerValue = 0;
    double realValue = 0.0;
    QString text;
};
