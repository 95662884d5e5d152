#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/catalog/PageShape.h"

class CommandTable;
class ControlTable;
struct ControlEntry;

// One camera parameter as the front ends name it: its control-table row, its mnemonic,
// and the page field that shows it (label, group, list entries).
struct Parameter {
    int row = -1;             // control-table row
    int controlId = 0;
    int commandId = -1;
    QString mnemonic;
    QString label;            // empty for a row without a page field
    QString group;            // the field's group title; empty when it has none
    const FieldSpec *field = nullptr;

    QString QualifiedLabel() const { return group.isEmpty() ? label : group + QLatin1Char('/') + label; }
    bool IsList() const { return field != nullptr && field->kind == FieldKind::List; }
};

struct ParameterLookup {
    std::optional<Parameter> parameter;
    QString error; // why the name gives no parameter
};

struct ValueLookup {
    std::optional<std::int32_t> value;
    QString error;
};

// The parameters of the control table with the names they go by on the pages.
class ParameterCatalog {
public:
    ParameterCatalog(const ControlTable &table, const CommandTable &commands);

    // A mnemonic ("GA", exact), a group-qualified label ("Image format/Width"), a label
    // that only one group has ("Exposure Time"; labels are compared without regard to case) or
    // the parameter's SFNC name ("ExposureTime", "Gain[Red]", exact). A label that several
    // groups share is refused with every qualified name offered, even where SFNC has the name.
    ParameterLookup Find(const QString &name) const;

    // The text of a value: a list parameter's entry text, else the number.
    QString ValueText(const Parameter &parameter, std::int32_t value) const;
    // The entry text of a list value; empty when the value is none of the list's codes.
    QString EntryText(const Parameter &parameter, std::int32_t value) const;

    // A value typed on the command line: a whole number within the row's limits or, for a
    // list, one of its entry texts (in any case) or codes.
    ValueLookup ParseValue(const Parameter &parameter, const QString &text) const;

    // Why the camera would refuse the value by the parameter's limits (a list's codes, else
    // the row's minimum and maximum); empty when it is within them.
    QString OutsideLimits(const Parameter &parameter, std::int32_t value) const;

    // The camera's code of a list parameter's entry (its position unless a code table says).
    std::int32_t CodeOfEntry(const Parameter &parameter, int entry) const { return codeOfEntry(parameter, entry); }

    // The parameter of a control id; nullptr when none has it.
    const Parameter *OfControl(int controlId) const;

    const std::vector<Parameter> &All() const { return parameters_; }
    // The parameters with a page field whose label, group or mnemonic holds the text (without
    // regard to case), in the catalogue's order; none for an empty text.
    std::vector<Parameter> Matching(const QString &text) const;

private:
    std::int32_t codeOfEntry(const Parameter &parameter, int entry) const;
    const Parameter *findStandardName(const QString &name) const;
    QString entryChoice(const Parameter &parameter) const; // "give one of Off, On"

    const ControlTable &table_;
    std::vector<Parameter> parameters_;
};
