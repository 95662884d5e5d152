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

// A line of the file that loading skips for its value (not a whole number): a typo to be named.
struct UnreadableLine {
    int lineNumber = 0; // from 1
    QString text;       // without its line end
};

// The parameters that loading the pieces writes, under the load rules (the model line and
// every skipped line left out), in file order. A parameter set twice keeps its first place and
// takes the last value, as the camera does.
std::vector<FiledValue> FiledValues(const QList<QByteArray> &pieces, const CommandTable &commands,
                                    const ControlTable &table, const CameraModel &model, bool extendedMode);

// What a check of a camera against a setting file takes from the file before anything goes
// over the wire, under the load rules for this camera and control mode.
struct SettingFileCheck {
    // The model that the file's model line names when it is another than the identified
    // camera: loading it would rename the camera, so nothing of it is to be compared or written.
    QString otherModel;
    std::vector<FiledValue> filed;
    std::vector<UnreadableLine> unreadable;

    bool IsForOtherModel() const { return !otherModel.isEmpty(); }
    // A file that sets no parameter of this camera (empty, another kind of file, every line
    // unreadable or skipped): a comparison would check nothing, which is no pass.
    bool ChecksNothing() const { return !IsForOtherModel() && filed.empty(); }
};

SettingFileCheck PlanSettingFileCheck(const QList<QByteArray> &pieces, const CommandTable &commands,
                                      const ControlTable &table, const CameraModel &model, bool extendedMode);

// How the operator is told: "is for the QN-5200R-BDX, the camera is the QN-5200RL-BDXP", and
// "sets no parameter of the QN-5200RL-BDXP in the standard mode: nothing was verified".
QString OtherModelText(const QString &fileModel, const CameraModel &model);
QString NothingVerifiedText(const CameraModel &model, bool extendedMode);
// "line 3 unreadable: GA=1O0"
QString UnreadableLineText(const UnreadableLine &line);

// The camera's answers by command id; a command without an entry was not read.
using CameraValues = std::map<int, std::int32_t>;

struct SettingDifference {
    QString mnemonic;
    QString label; // the page label, "Group/Label" where the field has a group; empty when no page shows it
    std::int32_t fileValue = 0;
    std::optional<std::int32_t> cameraValue; // nothing: not read
    int controlId = -1;

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
