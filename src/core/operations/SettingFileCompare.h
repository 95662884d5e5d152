#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>

class CameraModel;
class Command;
class CommandTable;
class ControlTable;

// Checking a camera against a setting file: which parameters the file sets, what the camera
// holds for them, and where the two differ. The comparison itself is pure, so every front end
// (a provisioning station, a verify or diff command, scripts) reports the same differences.

// One parameter that a setting file sets, as loading the file writes it.
struct FiledValue {
    int commandId = -1;
    int controlId = -1;
    QString mnemonic;
    std::int32_t value = 0;
};

// The parameters that loading the pieces writes, under the load rules (the model line and
// every skipped line left out), in file order. A parameter set twice keeps its first place and
// takes the last value, as the camera does.
std::vector<FiledValue> FiledValues(const QList<QByteArray> &pieces, const CommandTable &commands,
                                    const ControlTable &table, const CameraModel &model, bool extendedMode);

// The camera's answers by command id; a command without an entry was not read.
using CameraValues = std::map<int, std::int32_t>;

struct SettingDifference {
    QString mnemonic;
    QString label; // the page label, "Group/Label" where the field has a group; empty when no page shows it
    std::int32_t fileValue = 0;
    std::optional<std::int32_t> cameraValue; // nothing: not read

    // The camera's side as text: the number, or "not read".
    QString CameraText() const;
};

// The filed values that the camera does not hold, in file order.
std::vector<SettingDifference> CompareFiledValues(const std::vector<FiledValue> &filed, const CameraValues &camera);

// Queries every filed parameter (5,000 ms each) in file order. A query that is refused leaves
// its parameter unread and the read goes on; one that gets no answer at all ends the read, as
// the camera is gone. The step is told the percentage done after each parameter.
CameraValues ReadFiledValues(const std::vector<FiledValue> &filed, Command &command,
                             const std::function<void(int percent)> &step = {});
