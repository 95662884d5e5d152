#pragma once

#include <optional>

#include <QString>

#include "CameraState.h"

// The camera's flash: areas, boot area and identification kept in a JSON file between runs.
// Parameters are stored by mnemonic, so a file stays readable when the command set grows.
namespace StateFile {

// fallback supplies every value the file does not hold; nullopt when the file cannot be read.
std::optional<PersistentState> Load(const QString &path, const PersistentState &fallback);
bool Save(const QString &path, const PersistentState &state);

} // namespace StateFile
