#include "core/operations/CameraIdentity.h"

#include <cstring>

#include "core/protocol/CommandTable.h"
#include "core/protocol/IdentityTexts.h"

namespace {

constexpr unsigned kReadMs = 1000;

} // namespace

CameraIdentity ReadCameraIdentity(Command &command, const CommandTable &commands)
{
    CameraIdentity identity;
    for (std::size_t index = 0; index < kIdentityFields.size(); ++index) {
        const IdentityField &field = kIdentityFields[index];
        QString &text = identity.texts[index];
        const int id = commands.FindMnemonic(QString::fromLatin1(field.mnemonic));
        if (!command.QueryString(id, text, kReadMs) && identity.firstFailure == Command::Outcome::None)
            identity.firstFailure = command.LastOutcome();
        if (std::strcmp(field.key, "deviceVersion") == 0 && !SplitDeviceVersion(text))
            text.clear();
    }
    return identity;
}

QString IdentityText(const CameraIdentity &identity, const char *key)
{
    for (std::size_t index = 0; index < kIdentityFields.size(); ++index) {
        if (std::strcmp(kIdentityFields[index].key, key) == 0)
            return identity.texts[index];
    }
    return QString();
}
