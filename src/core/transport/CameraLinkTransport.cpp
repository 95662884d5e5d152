#include "core/transport/CameraLinkTransport.h"

CameraLinkTransport::~CameraLinkTransport() = default;

bool CameraLinkTransport::CanCarry(int) const
{
    return true;
}

QString CameraLinkTransport::LastOpenFailureText() const
{
    return QString();
}

QString CameraLinkTransport::TakeLossReason()
{
    return QString();
}
