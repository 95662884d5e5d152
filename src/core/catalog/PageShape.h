#pragma once

#include <span>

// The shape of a page table: groups of fields, each field one control with its label. The
// tables are constant data; PageBuilder turns one into widgets.

using EntryList = std::span<const char *const>;

enum class FieldKind {
    Number,   // edit with a spin beside it
    List,     // drop-down list with the given entries
    Text,     // read-only edit showing an initial text until it is filled in
    Edit,     // plain edit without a spin
    Button,   // push button; text is its caption
    FixedText,// label with a static value beside it
    Caption,  // a static text of its own (label is the text)
};

struct FieldSpec {
    FieldKind kind = FieldKind::Caption;
    int id = 0;                 // control id; 0 for statics without one
    const char *label = nullptr;// static text in front of the control
    int labelId = 0;            // control id of that static, 0 when it has none
    int spinId = 0;             // Number only
    EntryList entries{};        // List only
    const char *text = nullptr; // Text: initial text; Button: caption; FixedText: the value
    const char *name = nullptr; // accessible name where the label alone does not say it
    bool joined = false;        // continues the previous field's row
    bool disabled = false;
    bool hidden = false;

    constexpr FieldSpec Joined() const { FieldSpec f = *this; f.joined = true; return f; }
    constexpr FieldSpec Disabled() const { FieldSpec f = *this; f.disabled = true; return f; }
    constexpr FieldSpec Hidden() const { FieldSpec f = *this; f.hidden = true; return f; }
    constexpr FieldSpec Named(const char *accessibleName) const
    {
        FieldSpec f = *this;
        f.name = accessibleName;
        return f;
    }
    constexpr FieldSpec LabelId(int id) const { FieldSpec f = *this; f.labelId = id; return f; }
};

struct GroupSpec {
    const char *title = nullptr; // nullptr: controls without a group box
    int boxId = 0;               // control id of the group box, 0 when it has none
    int column = 0;              // page column; groups of one column stack in table order
    std::span<const FieldSpec> fields;
    bool hidden = false;
};

struct PageSpec {
    int templateId = 0;
    const char *title = nullptr;
    bool factoryOnly = false;
    std::span<const GroupSpec> groups;
};
