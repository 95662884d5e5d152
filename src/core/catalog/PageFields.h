#pragma once

#include "core/catalog/PageShape.h"

// The words the page tables are written in: one constructor per sort of field. Only the
// table files include this, so the short names stay out of everyone else's way.
namespace PageFields {

constexpr FieldSpec Number(int id, const char *label, int spinId)
{
    FieldSpec f;
    f.kind = FieldKind::Number;
    f.id = id;
    f.label = label;
    f.spinId = spinId;
    return f;
}

constexpr FieldSpec List(int id, const char *label, EntryList entries)
{
    FieldSpec f;
    f.kind = FieldKind::List;
    f.id = id;
    f.label = label;
    f.entries = entries;
    return f;
}

constexpr FieldSpec Text(int id, const char *label, const char *initialText)
{
    FieldSpec f;
    f.kind = FieldKind::Text;
    f.id = id;
    f.label = label;
    f.text = initialText;
    return f;
}

constexpr FieldSpec Edit(int id, const char *label)
{
    FieldSpec f;
    f.kind = FieldKind::Edit;
    f.id = id;
    f.label = label;
    return f;
}

constexpr FieldSpec Button(int id, const char *caption)
{
    FieldSpec f;
    f.kind = FieldKind::Button;
    f.id = id;
    f.text = caption;
    return f;
}

constexpr FieldSpec FixedText(const char *label, const char *value)
{
    FieldSpec f;
    f.kind = FieldKind::FixedText;
    f.label = label;
    f.text = value;
    return f;
}

constexpr FieldSpec Caption(const char *text, int labelId = 0)
{
    FieldSpec f;
    f.kind = FieldKind::Caption;
    f.label = text;
    f.labelId = labelId;
    return f;
}

// A number field whose spin id the binding leaves open: the spin takes the edit's id + 1.
constexpr FieldSpec Number(int id, const char *label)
{
    return Number(id, label, id + 1);
}

} // namespace PageFields
