#pragma once

// Screen readers on Linux hear a drop-down list as its label followed by its name, and the
// name is the chosen entry: that is what Qt and GTK expose, and the AT-SPI bridge announces
// every change of the entry as a change of the name. Lists here follow that convention:
//  - the name is the current entry (the label while no entry is chosen);
//  - the label is a labelled-by relation: the buddy label and the titled group, as Qt finds
//    them, and for a list whose words the page table gives (no label on screen says them) a
//    label object of its own that carries those words;
//  - the popup's row of the current entry is the selected one, so a client that looks for
//    the selected child finds the same entry;
//  - an editable list offers its edit field as a second child.
// Installing twice is harmless; install before the first list is asked for its interface.
void InstallDropDownAccessibility();
