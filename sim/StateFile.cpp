#include "StateFile.h"

#include <algorithm>
#include <array>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "ParameterLimits.h"

namespace {

struct IdentityKey {
    const char *key;
    QString Identity::*field;
};
const std::array<IdentityKey, 7> kIdentityKeys = {{
    {"model", &Identity::model},
    {"firmwareVersion", &Identity::firmwareVersion},
    {"fpgaVersion", &Identity::fpgaVersion},
    {"cameraId", &Identity::cameraId},
    {"userId", &Identity::userId},
    {"deviceVersion", &Identity::deviceVersion},
    {"deviceName", &Identity::deviceName},
}};

QJsonObject areaToJson(const ParameterSet &area)
{
    const ParameterSpecs &specs = CameraParameterSpecs();
    QJsonObject object;
    for (int id = 0; id < kCommandCount; ++id)
        if (specs[id].stored)
            object.insert(QLatin1String(kCommandRows[id].mnemonic), static_cast<qint64>(area[id]));
    return object;
}

void areaFromJson(const QJsonObject &object, ParameterSet &area)
{
    const ParameterSpecs &specs = CameraParameterSpecs();
    for (int id = 0; id < kCommandCount; ++id) {
        const QJsonValue value = object.value(QLatin1String(kCommandRows[id].mnemonic));
        if (specs[id].stored && value.isDouble())
            area[id] = std::clamp<std::int64_t>(value.toInteger(), specs[id].minimum, specs[id].maximum);
    }
}

} // namespace

namespace StateFile {

std::optional<PersistentState> Load(const QString &path, const PersistentState &fallback)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    PersistentState state = fallback;
    const QJsonObject identity = root.value(QLatin1String("identity")).toObject();
    for (const IdentityKey &key : kIdentityKeys) {
        const QJsonValue value = identity.value(QLatin1String(key.key));
        if (value.isString())
            state.identity.*(key.field) = value.toString();
    }
    const QJsonArray areas = root.value(QLatin1String("areas")).toArray();
    for (int area = 0; area < kFlashAreaCount && area < areas.size(); ++area)
        areaFromJson(areas.at(area).toObject(), state.areas[area]);
    state.bootArea = std::clamp(root.value(QLatin1String("bootArea")).toInt(fallback.bootArea), 0, kFlashAreaCount - 1);
    return state;
}

bool Save(const QString &path, const PersistentState &state)
{
    QJsonObject identity;
    for (const IdentityKey &key : kIdentityKeys)
        identity.insert(QLatin1String(key.key), state.identity.*(key.field));
    QJsonArray areas;
    for (const ParameterSet &area : state.areas)
        areas.append(areaToJson(area));
    QJsonObject root;
    root.insert(QLatin1String("identity"), identity);
    root.insert(QLatin1String("areas"), areas);
    root.insert(QLatin1String("bootArea"), state.bootArea);

    // Written aside and renamed, so a crash never leaves half a flash behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(root).toJson());
    return file.commit();
}

} // namespace StateFile
