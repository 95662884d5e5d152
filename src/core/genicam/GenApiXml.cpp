#include "core/genicam/GenApiXml.h"

#include <map>
#include <set>

#include <QCryptographicHash>
#include <QXmlStreamWriter>

namespace Genicam {

namespace {

constexpr char kNamespace[] = "http://www.genicam.org/GenApi/Version_1_1";
constexpr char kProductGuid[] = "6b1f3e2a-5c4d-4e8f-9a70-3d2c1b0a5e47";
constexpr char kPort[] = "Device";

QString hex(std::uint32_t value)
{
    return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString registerName(const QString &feature)
{
    return feature + QStringLiteral("_Reg");
}

// The node that says whether a model or the control mode hides a feature; empty for none.
QString availabilityName(const Feature &f)
{
    if (f.lackedBy == 0 && !f.extendedOnly)
        return {};
    return QStringLiteral("IsAvailable_M%1_E%2").arg(f.lackedBy).arg(f.extendedOnly ? 1 : 0);
}

QString visibility(const Feature &f)
{
    if (f.invisible)
        return QStringLiteral("Invisible");
    if (f.extendedOnly)
        return QStringLiteral("Guru");
    return f.standard ? QStringLiteral("Beginner") : QStringLiteral("Expert");
}

QString accessMode(const Feature &f)
{
    if (f.readable && f.writable)
        return QStringLiteral("RW");
    return f.writable ? QStringLiteral("WO") : QStringLiteral("RO");
}

// A nested choice over the selector's value: "(SEL = 0) ? a : ((SEL = 1) ? b : c)".
QString selectedFormula(const std::vector<const Feature *> &members, bool minimum)
{
    QString formula = QString::number(minimum ? members.back()->minimum : members.back()->maximum);
    for (std::size_t i = members.size() - 1; i-- > 0;) {
        const std::int32_t value = minimum ? members[i]->minimum : members[i]->maximum;
        formula = QStringLiteral("(SEL = %1) ? %2 : (%3)").arg(i).arg(value).arg(formula);
    }
    return formula;
}

class XmlWriter {
public:
    explicit XmlWriter(const Description &description) : description_(description)
    {
        for (const Feature &f : description.features) {
            if (!f.selector.isEmpty())
                groups_[f.selector].push_back(&f);
        }
    }

    QByteArray Write()
    {
        QByteArray body;
        {
            QXmlStreamWriter xml(&body);
            xml.setAutoFormatting(true);
            xml_ = &xml;
            for (const Category &category : description_.categories)
                writeCategory(category);
            for (const Feature &f : description_.features)
                writeFeature(f);
            writeAvailability();
            xml.writeStartElement(QStringLiteral("Port"));
            xml.writeAttribute(QStringLiteral("Name"), QLatin1String(kPort));
            xml.writeAttribute(QStringLiteral("NameSpace"), QStringLiteral("Standard"));
            xml.writeEndElement();
            xml_ = nullptr;
        }
        return wrap(body);
    }

private:
    QByteArray wrap(const QByteArray &body) const
    {
        const QByteArray hash = QCryptographicHash::hash(body, QCryptographicHash::Md5).toHex();
        const QString versionGuid = QStringLiteral("%1-%2-%3-%4-%5")
                                        .arg(QLatin1String(hash.mid(0, 8)), QLatin1String(hash.mid(8, 4)),
                                             QLatin1String(hash.mid(12, 4)), QLatin1String(hash.mid(16, 4)),
                                             QLatin1String(hash.mid(20, 12)));
        QByteArray out;
        QXmlStreamWriter xml(&out);
        xml.setAutoFormatting(true);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("RegisterDescription"));
        xml.writeDefaultNamespace(QLatin1String(kNamespace));
        xml.writeAttribute(QStringLiteral("ModelName"), QLatin1String(kFamily));
        xml.writeAttribute(QStringLiteral("VendorName"), QLatin1String(kVendor));
        xml.writeAttribute(QStringLiteral("ToolTip"), QStringLiteral("The QN-5200 line-scan colour cameras"));
        xml.writeAttribute(QStringLiteral("StandardNameSpace"), QStringLiteral("CL"));
        xml.writeAttribute(QStringLiteral("SchemaMajorVersion"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("SchemaMinorVersion"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("SchemaSubMinorVersion"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("MajorVersion"), QString::number(kXmlMajor));
        xml.writeAttribute(QStringLiteral("MinorVersion"), QString::number(kXmlMinor));
        xml.writeAttribute(QStringLiteral("SubMinorVersion"), QString::number(kXmlSubMinor));
        xml.writeAttribute(QStringLiteral("ProductGuid"), QLatin1String(kProductGuid));
        xml.writeAttribute(QStringLiteral("VersionGuid"), versionGuid);
        xml.writeCharacters(QString()); // closes the start tag so the body can follow as text
        out += '\n';
        out += body;
        out += "\n</RegisterDescription>\n";
        return out;
    }

    void text(const QString &element, const QString &value) { xml_->writeTextElement(element, value); }

    void startNode(const QString &type, const QString &name, bool standard)
    {
        xml_->writeStartElement(type);
        xml_->writeAttribute(QStringLiteral("Name"), name);
        xml_->writeAttribute(QStringLiteral("NameSpace"), standard ? QStringLiteral("Standard") : QStringLiteral("Custom"));
    }

    // ToolTip, DisplayName, Visibility, pIsAvailable: the schema's order.
    void describe(const Feature &f, const QString &display)
    {
        if (!f.mnemonic.isEmpty())
            text(QStringLiteral("ToolTip"), QStringLiteral("Camera command %1").arg(f.mnemonic));
        text(QStringLiteral("DisplayName"), display);
        text(QStringLiteral("Visibility"), visibility(f));
        if (const QString available = availabilityName(f); !available.isEmpty())
            text(QStringLiteral("pIsAvailable"), available);
        if (f.writeExtendedOnly)
            text(QStringLiteral("pIsLocked"), QStringLiteral("IsLocked_StandardMode"));
    }

    void writeCategory(const Category &category)
    {
        startNode(QStringLiteral("Category"), category.name, category.parent.isEmpty());
        text(QStringLiteral("DisplayName"), category.display);
        for (const Category &child : description_.categories) {
            if (child.parent == category.name)
                text(QStringLiteral("pFeature"), child.name);
        }
        std::set<QString> listed;
        for (const Feature &f : description_.features) {
            if (f.category != category.name || f.invisible)
                continue;
            const QString name = f.selector.isEmpty() ? f.name : f.selector;
            if (listed.insert(name).second) {
                text(QStringLiteral("pFeature"), name);
                if (!f.selector.isEmpty())
                    text(QStringLiteral("pFeature"), f.name);
            }
        }
        xml_->writeEndElement();
    }

    void writeRegister(const Feature &f, const QString &name, const QString &index = {})
    {
        const bool text_ = f.shape == Shape::String;
        startNode(text_ ? QStringLiteral("StringReg") : QStringLiteral("IntReg"), name, false);
        if (text_)
            describe(f, f.display);
        else
            text(QStringLiteral("Visibility"), QStringLiteral("Invisible"));
        text(QStringLiteral("Address"), hex(f.address));
        if (!index.isEmpty()) {
            xml_->writeStartElement(QStringLiteral("pIndex"));
            xml_->writeAttribute(QStringLiteral("Offset"), QStringLiteral("4"));
            xml_->writeCharacters(index);
            xml_->writeEndElement();
        }
        text(QStringLiteral("Length"), QString::number(f.length));
        text(QStringLiteral("AccessMode"), accessMode(f));
        text(QStringLiteral("pPort"), QLatin1String(kPort));
        text(QStringLiteral("Cachable"), QStringLiteral("NoCache"));
        if (!text_) {
            text(QStringLiteral("Sign"), QStringLiteral("Signed"));
            text(QStringLiteral("Endianess"), QStringLiteral("LittleEndian"));
        }
        xml_->writeEndElement();
    }

    void writeEntries(const std::vector<EnumChoice> &choices)
    {
        for (const EnumChoice &choice : choices) {
            startNode(QStringLiteral("EnumEntry"), choice.name, false);
            text(QStringLiteral("DisplayName"), choice.display);
            text(QStringLiteral("Value"), QString::number(choice.code));
            xml_->writeEndElement();
        }
    }

    void writeFeature(const Feature &f)
    {
        if (!f.selector.isEmpty()) {
            writeSelected(f);
            return;
        }
        switch (f.shape) {
        case Shape::String:
            writeRegister(f, f.name);
            return;
        case Shape::Integer:
            startNode(QStringLiteral("Integer"), f.name, f.standard);
            describe(f, f.display);
            text(QStringLiteral("pValue"), registerName(f.name));
            text(QStringLiteral("Min"), QString::number(f.minimum));
            text(QStringLiteral("Max"), QString::number(f.maximum));
            text(QStringLiteral("Representation"), QStringLiteral("Linear"));
            for (const QString &selected : f.selects)
                text(QStringLiteral("pSelected"), selected);
            break;
        case Shape::Enumeration:
            startNode(QStringLiteral("Enumeration"), f.name, f.standard);
            describe(f, f.display);
            writeEntries(f.choices);
            text(QStringLiteral("pValue"), registerName(f.name));
            for (const QString &selected : f.selects)
                text(QStringLiteral("pSelected"), selected);
            break;
        case Shape::Command:
            startNode(QStringLiteral("Command"), f.name, f.standard);
            describe(f, f.display);
            text(QStringLiteral("pValue"), registerName(f.name));
            text(QStringLiteral("CommandValue"), QStringLiteral("1"));
            break;
        }
        xml_->writeEndElement();
        writeRegister(f, registerName(f.name));
    }

    // A selected feature is written once, at its first member: the selector, the value the
    // selector keeps, the feature over the members' registers and its limits by selector.
    void writeSelected(const Feature &f)
    {
        const std::vector<const Feature *> &members = groups_[f.selector];
        if (members.front() != &f)
            return;
        const QString value = f.selector + QStringLiteral("Value");
        startNode(QStringLiteral("Enumeration"), f.selector, true);
        text(QStringLiteral("DisplayName"), f.name + QStringLiteral(" Selector"));
        text(QStringLiteral("Visibility"), visibility(f));
        std::vector<EnumChoice> choices;
        for (std::size_t i = 0; i < members.size(); ++i)
            choices.push_back({members[i]->selectorEntry, members[i]->display, static_cast<std::int32_t>(i)});
        writeEntries(choices);
        text(QStringLiteral("pValue"), value);
        text(QStringLiteral("pSelected"), f.name);
        xml_->writeEndElement();

        startNode(QStringLiteral("Integer"), value, false);
        text(QStringLiteral("Visibility"), QStringLiteral("Invisible"));
        text(QStringLiteral("Value"), QStringLiteral("0"));
        text(QStringLiteral("Min"), QStringLiteral("0"));
        text(QStringLiteral("Max"), QString::number(members.size() - 1));
        xml_->writeEndElement();

        startNode(QStringLiteral("Integer"), f.name, true);
        describe(f, f.name);
        text(QStringLiteral("pValue"), registerName(f.name));
        text(QStringLiteral("pMin"), f.name + QStringLiteral("_Min"));
        text(QStringLiteral("pMax"), f.name + QStringLiteral("_Max"));
        text(QStringLiteral("Representation"), QStringLiteral("Linear"));
        xml_->writeEndElement();

        for (const bool minimum : {true, false}) {
            startNode(QStringLiteral("IntSwissKnife"), f.name + (minimum ? QStringLiteral("_Min") : QStringLiteral("_Max")),
                      false);
            text(QStringLiteral("Visibility"), QStringLiteral("Invisible"));
            xml_->writeStartElement(QStringLiteral("pVariable"));
            xml_->writeAttribute(QStringLiteral("Name"), QStringLiteral("SEL"));
            xml_->writeCharacters(value);
            xml_->writeEndElement();
            text(QStringLiteral("Formula"), selectedFormula(members, minimum));
            xml_->writeEndElement();
        }
        writeRegister(f, registerName(f.name), value);
    }

    void writeAvailability()
    {
        // Locked while the control mode is the standard one.
        startNode(QStringLiteral("IntSwissKnife"), QStringLiteral("IsLocked_StandardMode"), false);
        text(QStringLiteral("Visibility"), QStringLiteral("Invisible"));
        xml_->writeStartElement(QStringLiteral("pVariable"));
        xml_->writeAttribute(QStringLiteral("Name"), QStringLiteral("MODE"));
        xml_->writeCharacters(QStringLiteral("ControlMode"));
        xml_->writeEndElement();
        text(QStringLiteral("Formula"), QStringLiteral("MODE = 0"));
        xml_->writeEndElement();
        std::set<QString> written;
        for (const Feature &f : description_.features) {
            const QString name = availabilityName(f);
            if (name.isEmpty() || !written.insert(name).second)
                continue;
            startNode(QStringLiteral("IntSwissKnife"), name, false);
            text(QStringLiteral("Visibility"), QStringLiteral("Invisible"));
            QStringList terms;
            if (f.lackedBy) {
                xml_->writeStartElement(QStringLiteral("pVariable"));
                xml_->writeAttribute(QStringLiteral("Name"), QStringLiteral("MODEL"));
                xml_->writeCharacters(QStringLiteral("DeviceModelCode"));
                xml_->writeEndElement();
                for (int model = 0; model < 8; ++model) {
                    if (f.lackedBy & (1u << model))
                        terms.append(QStringLiteral("(MODEL <> %1)").arg(model));
                }
            }
            if (f.extendedOnly) {
                xml_->writeStartElement(QStringLiteral("pVariable"));
                xml_->writeAttribute(QStringLiteral("Name"), QStringLiteral("MODE"));
                xml_->writeCharacters(QStringLiteral("ControlMode"));
                xml_->writeEndElement();
                terms.append(QStringLiteral("(MODE = 1)"));
            }
            text(QStringLiteral("Formula"), terms.join(QStringLiteral(" && ")));
            xml_->writeEndElement();
        }
    }

    const Description &description_;
    std::map<QString, std::vector<const Feature *>> groups_;
    QXmlStreamWriter *xml_ = nullptr;
};

} // namespace

QByteArray WriteGenApiXml(const Description &description)
{
    return XmlWriter(description).Write();
}

} // namespace Genicam
