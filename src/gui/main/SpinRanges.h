#pragma once

class ControlFinder;
class ControlTable;
class QWidget;

// Stores each spin's id on its buddy edit, for every spin under `page`.
void LinkSpinBuddies(QWidget &page);

// Sets every number row's spin range from the row's limits, one wider on each side when
// the row's range mode is 1.
void SetSpinRanges(const ControlTable &table, const ControlFinder &finder);

class SpinButton;
// The spin linked to the edit with that id, nullptr when there is none.
SpinButton *FindLinkedSpin(const ControlFinder &finder, int editId);
