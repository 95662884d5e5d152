#pragma once

#include <QByteArray>

#include "core/genicam/FeatureModel.h"

namespace Genicam {

// The GenApi description (schema 1.1) of the features: categories by page and group, a node
// per feature over its register, the selectors, and the availability rules.
QByteArray WriteGenApiXml(const Description &description);

} // namespace Genicam
