#pragma once

#include <QByteArray>

#include "core/genicam/FeatureModel.h"

namespace Genicam {

// The register map as a C++ source in the terms of RegisterKinds.h, without Qt, with the
// GenApi description inside it: what the CLProtocol library serves.
QByteArray WriteRegisterMapSource(const Description &description, const QByteArray &genApiXml);

} // namespace Genicam
