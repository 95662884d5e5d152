#pragma once

#include <QString>

#include "core/protocol/CommandTable.h"
#include "core/protocol/CommandValue.h"

// The lines the tool sends. The value is written as the command table says for the command,
// whatever type the value itself carries. The id must be valid.
QString FormatSet(const CommandTable &table, int commandId, const CommandValue &value,
                  bool withLineEnd);
QString FormatQuery(const CommandTable &table, int commandId, bool withLineEnd);
