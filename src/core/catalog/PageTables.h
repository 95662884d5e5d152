#pragma once

#include <array>
#include <optional>
#include <span>

#include "core/catalog/PageShape.h"

// The six tab pages, one table each, and the page table that orders them.
//
// Control ids are the camera binding's. A spin whose id the binding does not fix takes its
// edit's id + 1 (see PageFields.h); the page tests check that no id occurs twice across the
// pages.

extern const PageSpec kPageUserA;
extern const PageSpec kPageUserB;
extern const PageSpec kPageUserC;
extern const PageSpec kPageUserD;
extern const PageSpec kPageUserE;
extern const PageSpec kPageFactoryA;

inline constexpr int kPageCount = 6;

// Index order is the tab order and the order in which controls are looked up.
inline constexpr std::array<const PageSpec *, kPageCount> kPageTable = {
    &kPageUserA, &kPageUserB, &kPageUserC, &kPageUserD, &kPageUserE, &kPageFactoryA};

// Controls of the main window itself that are never shown nor bound; a page control with
// the same id (1049, the temperature field) is found first.
std::span<const FieldSpec> MainWindowHiddenControls();

// The labelled field that shows a control on the pages, with its group, in page-table order;
// nothing for a control that no page labels.
struct LabelledField {
    const FieldSpec *field;
    const GroupSpec *group;
};
std::optional<LabelledField> FindLabelledField(int controlId);
