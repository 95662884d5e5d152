#include "core/operations/IdentityWrites.h"

#include "core/common/Dialogs.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandIds.h"
#include "core/protocol/IdentityTexts.h"

namespace {

constexpr std::uint32_t kWriteMs = kIdentityWriteMs;
constexpr std::int32_t kUnlockValue = kCameraIdUnlockValue;

// True when the text may be sent; otherwise the operator has been told why not.
bool acceptable(Dialogs &dialogs, const QString &text, const QString &what)
{
    const WireTextCheck check = CheckWireText(text);
    if (check == WireTextCheck::Ok)
        return true;
    dialogs.Message(WireTextRefusal(check, what), QString(), MessageIcon::Stop);
    return false;
}

} // namespace

QString UserIdRefusal(const QString &text)
{
    const WireTextCheck check = CheckWireText(text);
    if (check != WireTextCheck::Ok)
        return WireTextRefusal(check, QStringLiteral("User ID"));
    if (CheckWireText(text, kUserIdMaxBytes) == WireTextCheck::TooLong)
        return QStringLiteral("User ID string is too long !!");
    return QString();
}

QString CameraIdRefusal(const QString &id)
{
    const WireTextCheck check = CheckWireText(id);
    return check == WireTextCheck::Ok ? QString() : WireTextRefusal(check, QStringLiteral("camera id"));
}

IdentityWrite SaveUserId(Command &command, Dialogs &dialogs, const QString &text)
{
    if (const QString refusal = UserIdRefusal(text); !refusal.isEmpty()) {
        dialogs.Message(refusal, QString(), MessageIcon::Stop);
        return IdentityWrite::NotSent;
    }
    if (!command.SetString(CommandId::UD, text, kWriteMs)) {
        dialogs.Message(QStringLiteral("Couldn't write the User ID."), QString(), MessageIcon::Stop);
        return IdentityWrite::Failed;
    }
    dialogs.Message(QStringLiteral("Writing the User ID \"%1\" has been completed.").arg(text), QString(),
                    MessageIcon::Information);
    return IdentityWrite::Written;
}

IdentityWrite SaveDeviceVersion(Command &command, Dialogs &dialogs, std::span<const QString> fields)
{
    const QString version = JoinFirstCharacters(fields, QStringLiteral("."));
    if (!acceptable(dialogs, version, QStringLiteral("Device Version")))
        return IdentityWrite::NotSent;
    if (!command.SetString(CommandId::DV00, version, kDeviceVersionWriteMs)) {
        dialogs.Message(QStringLiteral("Couldn't write the Device Version."), QString(), MessageIcon::Stop);
        return IdentityWrite::Failed;
    }
    dialogs.Message(QStringLiteral("Writing the Device Version has been completed."), QString(),
                    MessageIcon::Information);
    return IdentityWrite::Written;
}

IdentityWrite SaveCameraId(Command &command, Dialogs &dialogs, std::span<const QString> fields)
{
    // Checked before the unlock, so a refused id leaves the camera locked and untouched.
    const QString id = JoinFirstCharacters(fields);
    if (const QString refusal = CameraIdRefusal(id); !refusal.isEmpty()) {
        dialogs.Message(refusal, QString(), MessageIcon::Stop);
        return IdentityWrite::NotSent;
    }
    if (!command.SetValue(CommandId::ULCK, kUnlockValue, kWriteMs)) {
        dialogs.Message(QStringLiteral("Couldn't save camera id."), QString(), MessageIcon::Stop);
        return IdentityWrite::Failed;
    }
    if (!command.SetString(CommandId::ID00, id, kWriteMs)) {
        dialogs.Message(QStringLiteral("Couldn't save the camera id."), QString(), MessageIcon::Stop);
        return IdentityWrite::Failed;
    }
    dialogs.Message(QStringLiteral("Completed saving camera id: %1.").arg(id), QString(), MessageIcon::Information);
    return IdentityWrite::Written;
}

std::optional<std::array<QString, 10>> CameraIdFields(const QString &id)
{
    std::array<QString, 10> fields;
    if (id.size() != static_cast<qsizetype>(fields.size()))
        return std::nullopt;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = id.mid(static_cast<qsizetype>(i), 1);
    return fields;
}
