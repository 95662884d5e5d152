#pragma once

#include <QByteArray>

#include "core/genicam/FeatureModel.h"

namespace Genicam {

// The documentation's table of the register map (Markdown): address, feature, kind, access,
// limits and the command behind each register.
QByteArray WriteRegisterTable(const Description &description);

// The README's table of SFNC names against the pages' labels and mnemonics (Markdown rows).
QByteArray WriteSfncTable(const Description &description);

} // namespace Genicam
