#pragma once

#include <cstdint>

class ControlFinder;
class QComboBox;
class QString;

// Adapts the pages to the identified camera model: selects it in the model list, shows the
// groups the model has and hides the others, and offers only the list entries it knows.
// Codes other than the two supported models only clear the model list's selection.
void ApplyModelLayout(const ControlFinder &finder, std::int32_t modelCode);

// The first entry that begins with `prefix`, ignoring case; -1 when none does.
int FindEntryByPrefix(const QComboBox &list, const QString &prefix);
