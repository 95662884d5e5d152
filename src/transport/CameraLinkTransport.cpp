#include "transport/CameraLinkTransport.h"

CameraLinkTransport::~CameraLinkTransport() = default;
