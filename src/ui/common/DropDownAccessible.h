#pragma once

// Screen readers hear a drop-down list by its label (its accessible name, else its buddy
// label or group title) with the chosen entry as its value. Qt's own interface on Linux
// names a list after its current entry and leaves the label to a relation, so a reader
// walking the tree hears "Off" where the operator sees "Trigger Mode". Installing twice is
// harmless; install before the first list is asked for its interface.
void InstallDropDownAccessibility();
