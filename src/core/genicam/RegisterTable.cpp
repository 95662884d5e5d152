#include "core/genicam/RegisterTable.h"

#include <QStringList>

#include "core/catalog/SfncNames.h"
#include "core/protocol/CameraModel.h"

namespace Genicam {

namespace {

QString accessText(const Feature &f)
{
    if (f.readable && f.writable)
        return QStringLiteral("RW");
    return f.writable ? QStringLiteral("WO") : QStringLiteral("RO");
}

QString wireText(const Feature &f)
{
    using RegisterMap::Kind;
    switch (f.kind) {
    case Kind::Text:
        if (!f.writeMnemonic.isEmpty())
            return QStringLiteral("`%1?` / %2`%3=`")
                .arg(f.mnemonic, f.unlockValue ? QStringLiteral("`ULCK=%1`, then ").arg(f.unlockValue) : QString(),
                     f.writeMnemonic);
        return QStringLiteral("`%1?` / `%1=`").arg(f.mnemonic);
    case Kind::Value:
        return QStringLiteral("`%1?` / `%1=`").arg(f.mnemonic);
    case Kind::Procedure:
        return QStringLiteral("`%1=%2`").arg(f.mnemonic).arg(f.startValue);
    case Kind::Local:
        return QStringLiteral("kept by the library");
    case Kind::LutValue:
        return QStringLiteral("`LUTI*=index`, then `LUT*?` / `LUT*=`");
    case Kind::ShadingValue:
        return QStringLiteral("`SDDS=channel` (on a change), `SDDI=index`, then `SDD?` / `SDD=`");
    case Kind::UserSetLoad:
        return QStringLiteral("`%1=set`").arg(f.mnemonic);
    case Kind::UserSetSave:
        return QStringLiteral("`%1=set` (`SA00=0` for Default)").arg(f.mnemonic);
    case Kind::BaudRate:
        return QStringLiteral("`%1=code`, sent again at the new rate").arg(f.mnemonic);
    case Kind::ModelCode:
        return QStringLiteral("from `MD?` when probed");
    }
    return {};
}

QString limitsText(const Feature &f)
{
    if (f.shape == Shape::String)
        return QStringLiteral("%1 bytes").arg(f.length);
    if (f.shape == Shape::Command)
        return QString();
    if (!f.choices.empty()) {
        QStringList codes;
        for (const EnumChoice &choice : f.choices)
            codes.append(QStringLiteral("%1=%2").arg(choice.code).arg(choice.name));
        return codes.join(QStringLiteral(", "));
    }
    return QStringLiteral("%1..%2").arg(f.minimum).arg(f.maximum);
}

QString notesText(const Feature &f)
{
    QStringList notes;
    if (f.pending)
        notes.append(QStringLiteral("pending write, up to %1 ms").arg(f.writeLimitMs));
    if (f.extendedOnly)
        notes.append(QStringLiteral("extended mode"));
    if (f.writeExtendedOnly)
        notes.append(QStringLiteral("written in the extended mode"));
    for (const QString &name : CameraModel::SupportedNames()) {
        CameraModel model;
        model.Assign(name);
        if (f.lackedBy & (1u << model.Code()))
            notes.append(QStringLiteral("not on %1").arg(name));
    }
    return notes.join(QStringLiteral("; "));
}

QString escaped(QString text)
{
    return text.replace(u'|', QStringLiteral("\\|"));
}

} // namespace

QByteArray WriteRegisterTable(const Description &description)
{
    QString out = QStringLiteral(
        "# GenICam register map\n\n"
        "Generated from the command, control and page tables by `qn-genicam-gen`; the build checks that this\n"
        "copy is current. Every register is 4 bytes, signed, little-endian, except texts, which are\n"
        "zero-padded to their length. Description: `%1`.\n\n"
        "| Address | Feature | Label | Kind | Access | Limits / codes | Wire | Notes |\n"
        "|---|---|---|---|---|---|---|---|\n")
                      .arg(XmlId());
    for (const Feature &f : description.features) {
        const QString name = f.selectorEntry.isEmpty() ? f.name : QStringLiteral("%1[%2]").arg(f.name, f.selectorEntry);
        out += QStringLiteral("| 0x%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 |\n")
                   .arg(f.address, 4, 16, QLatin1Char('0'))
                   .arg(escaped(name), escaped(f.display),
                        f.shape == Shape::String        ? QStringLiteral("text")
                        : f.shape == Shape::Enumeration ? QStringLiteral("list")
                        : f.shape == Shape::Command     ? QStringLiteral("command")
                                                        : QStringLiteral("integer"),
                        accessText(f), escaped(limitsText(f)), wireText(f), notesText(f));
    }
    return out.toUtf8();
}

QByteArray WriteSfncTable(const Description &description)
{
    QString out = QStringLiteral("| SFNC name | Page label | Mnemonic |\n|---|---|---|\n");
    for (const SfncName &entry : kSfncNames) {
        for (const Feature &f : description.features) {
            if (f.mnemonic != QLatin1String(entry.mnemonic))
                continue;
            out += QStringLiteral("| `%1` | %2 | `%3` |\n")
                       .arg(QString::fromStdString(SfncAlias(entry)), escaped(f.display), f.mnemonic);
            break;
        }
    }
    return out.toUtf8();
}

} // namespace Genicam
